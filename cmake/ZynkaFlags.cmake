# Compiler settings shared by every ZYNKA target.
#
# The synthesis arithmetic is specified operation by operation in 64-bit
# floating point, so no fused multiply-add may be formed behind our back:
# -ffp-contract=off keeps results independent of the compiler and target.
add_library(zynka_flags INTERFACE)
target_compile_options(zynka_flags INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(WIN32)
  # The Windows toolchain keeps to baseline SSE2 (GCC does not realign the stack
  # for 32-byte AVX spills there); the voice loop uses 16-byte vectors on it.
  target_compile_definitions(zynka_flags INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()
