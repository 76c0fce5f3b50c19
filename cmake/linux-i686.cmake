# Cross-compiles for 32-bit x86 Linux (Debian i386: x87 floating point unless
# asked otherwise), run under qemu-i386; see cmake/linux-cross-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QV_CROSS_TRIPLET i686-linux-gnu)
set(QV_CROSS_MULTIARCH i386-linux-gnu)
set(QV_CROSS_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
