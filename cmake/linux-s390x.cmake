# Cross-compiles for big-endian 64-bit IBM Z Linux (Debian s390x), run under
# qemu-s390x; see cmake/linux-cross-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(QV_CROSS_TRIPLET s390x-linux-gnu)
set(QV_CROSS_MULTIARCH s390x-linux-gnu)
set(QV_CROSS_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
