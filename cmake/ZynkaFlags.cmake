# Compiler settings shared by every ZYNKA target.
#
# -ffp-contract=off: every multiplication and addition is rounded on its own and
# none is fused into a multiply-add, so each compiler and vector width computes what
# the source says. The tests hold every voice-loop kernel the processor has to the
# literal one-voice-at-a-time loop with exact equality (tests/engine), and zynka.dll
# under Wine to zynka.so byte for byte: all 32 factory programs through the double
# path and the demo phrase as a float WAV (tests/wine/compare-renders.sh).
add_library(zynka_flags INTERFACE)
target_compile_options(zynka_flags INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(WIN32)
  target_compile_definitions(zynka_flags INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()
