# Compiler settings shared by every ZYNKA target.
#
# -ffp-contract=off: every multiplication and addition is rounded on its own and
# none is fused into a multiply-add. That keeps the samples the same bit for bit
# across the voice loop's vector widths, the literal loop the tests compare them
# with, compilers, and the Linux and Windows builds.
add_library(zynka_flags INTERFACE)
target_compile_options(zynka_flags INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(WIN32)
  target_compile_definitions(zynka_flags INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()
