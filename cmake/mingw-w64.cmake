# Cross-compiling the Qt-free core for 64-bit Windows with MinGW-w64
# (Debian g++-mingw-w64-x86-64). The executables are linked statically, so
# that they run under Wine without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The POSIX thread model: GoogleTest needs std::mutex, which GCC 12's
# win32 thread model does not offer.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# There is no Qt for this target: only the core and its tests are built.
set(TARVIK_JEN_JADRO ON CACHE BOOL "Build only the Qt-free core and its tests")

# The tests run under Wine (tests/wine/CMakeLists.txt); it need not be there
# to build them.
find_program(TARVIK_WINE wine)
if(TARVIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVIK_WINE})
endif()
