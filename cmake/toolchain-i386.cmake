# 32-bit x86 on a 64-bit Debian host: GCC's multilib compiler (-m32) with Debian's multiarch
# i386 libraries, so that a process of this build is a 32-bit device.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
# With 64-bit time and file offsets, as the stand-in's dates (years up to 9999) and file
# checks need: the C library's 32-bit ones end in 2038 and at 2 GiB.
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_ASM_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# pkg-config and find_package look in the i386 multiarch directories only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
