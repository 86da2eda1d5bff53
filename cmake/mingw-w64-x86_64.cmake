# 64-bit Windows programs built on Debian with mingw-w64 (the posix-threads compilers, which have
# std::thread). The libraries are found in ROTORDUEL_WIN_PREFIX (scripts/windows builds them there,
# and says where in the environment) and in mingw-w64's own folder; programs that run during the
# build are still the build machine's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT ROTORDUEL_WIN_PREFIX AND DEFINED ENV{ROTORDUEL_WIN_PREFIX})
  set(ROTORDUEL_WIN_PREFIX $ENV{ROTORDUEL_WIN_PREFIX})
endif()
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ROTORDUEL_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(ROTORDUEL_WIN_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${ROTORDUEL_WIN_PREFIX})
  # pkg-config reads only the libraries' .pc files, never the build machine's.
  set(ENV{PKG_CONFIG_LIBDIR} ${ROTORDUEL_WIN_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 warns of overlapping copies inside std::string's own operator+ at -O2 and above, a known
# false positive of that release.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
# M_PI and its kin, which mingw-w64 hides from strict C++ unless asked.
string(APPEND CMAKE_CXX_FLAGS_INIT " -D_USE_MATH_DEFINES")
