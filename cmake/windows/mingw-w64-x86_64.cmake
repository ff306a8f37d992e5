# 64-bit Windows with Debian's MinGW-w64 (posix threads), against the Qt and
# Hunspell and QtKeychain that cmake/windows/build-toolchain.sh builds into the cache:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/windows/mingw-w64-x86_64.cmake
# The cache is $SKARVEL_WINDOWS_CACHE, as in cmake/windows/common.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SKARVEL_MINGW x86_64-w64-mingw32)
# The -posix compilers by name, whatever the alternatives point to: Qt was
# built with them, and the win32 thread model has no std::thread.
set(CMAKE_C_COMPILER ${SKARVEL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKARVEL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SKARVEL_MINGW}-windres)

if(DEFINED ENV{SKARVEL_WINDOWS_CACHE})
    set(SKARVEL_WINDOWS_CACHE $ENV{SKARVEL_WINDOWS_CACHE})
elseif(EXISTS /var/cache/skarvel-windows)
    set(SKARVEL_WINDOWS_CACHE /var/cache/skarvel-windows)
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(SKARVEL_WINDOWS_CACHE $ENV{XDG_CACHE_HOME}/skarvel-windows)
else()
    set(SKARVEL_WINDOWS_CACHE $ENV{HOME}/.cache/skarvel-windows)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${SKARVEL_MINGW} ${SKARVEL_WINDOWS_CACHE}/prefix ${SKARVEL_WINDOWS_CACHE}/hunspell
    ${SKARVEL_WINDOWS_CACHE}/qtkeychain)
set(CMAKE_PREFIX_PATH ${SKARVEL_WINDOWS_CACHE}/prefix ${SKARVEL_WINDOWS_CACHE}/qtkeychain)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Nothing of the machine's own pkg-config files.
set(ENV{PKG_CONFIG_LIBDIR} ${SKARVEL_WINDOWS_CACHE}/hunspell/lib/pkgconfig)
