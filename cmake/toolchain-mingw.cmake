# Cross build for Windows with mingw-w64; test executables run under Wine.
# ORVIX_ARCH picks the architecture: i686 (the deliverables, run by Wine's
# 32-bit loader in a win32 prefix) or x86_64 (the same sources, run by wine64
# in a win64 prefix on machines that cannot run 32-bit code).
set(ORVIX_ARCH i686 CACHE STRING "i686 or x86_64")
set_property(CACHE ORVIX_ARCH PROPERTY STRINGS i686 x86_64)
# try_compile projects see the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVIX_ARCH)

if(ORVIX_ARCH STREQUAL "i686")
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
elseif(ORVIX_ARCH STREQUAL "x86_64")
  # Debian's `wine` takes the 32-bit loader whenever it is installed.
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  message(FATAL_ERROR "ORVIX_ARCH must be i686 or x86_64, not '${ORVIX_ARCH}'")
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORVIX_ARCH})
set(triple ${ORVIX_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER   ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
