# What the Linux cross toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR,
# QV_CROSS_TRIPLET (the compiler's prefix), QV_CROSS_MULTIARCH (Debian's
# library folder) and QV_CROSS_QEMU first. Debian's cross compiler builds
# against the target's own libraries, which are looked for in QV_SYSROOT:
# packages of the target unpacked into one folder, as scripts/test-cpus does
# (the default "/" takes libraries installed beside the host's through dpkg's
# multiarch). What is built runs under qemu-user, so ctest works in the build
# folder:
#   cmake -S . -B build-aarch64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/linux-aarch64.cmake \
#         -DQV_SYSROOT=$PWD/build-cpus/sysroot-aarch64 -DQV_GAME=OFF -DQV_TESTS=ON
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${QV_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QV_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${QV_CROSS_MULTIARCH})

# The toolchain file is read again for every check the configure step
# compiles, with only the variables named here carried over.
set(QV_SYSROOT "/" CACHE PATH "Folder holding the target's libraries under usr/")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QV_SYSROOT)
set(qv_target_libs ${QV_SYSROOT}/usr/lib/${QV_CROSS_MULTIARCH})

set(CMAKE_FIND_ROOT_PATH /usr/${QV_CROSS_TRIPLET} ${QV_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the target's .pc files and puts their paths under the sysroot.
set(ENV{PKG_CONFIG_LIBDIR} ${qv_target_libs}/pkgconfig:${QV_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${QV_SYSROOT})

# Headers that differ between architectures (SDL's configuration, say) live
# in Debian's per-architecture include folder.
set(CMAKE_CXX_FLAGS_INIT "-isystem ${QV_SYSROOT}/usr/include/${QV_CROSS_MULTIARCH}")

# The target's libraries need others in turn (libpng needs zlib).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${qv_target_libs}")

# The C library from the cross compiler's folder, the rest from the sysroot.
set(CMAKE_CROSSCOMPILING_EMULATOR ${QV_CROSS_QEMU} -L /usr/${QV_CROSS_TRIPLET} -E LD_LIBRARY_PATH=${qv_target_libs})
