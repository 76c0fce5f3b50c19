# Cross-compiles for 64-bit ARM Linux (Debian arm64), run under qemu-aarch64;
# see cmake/linux-cross-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(QV_CROSS_TRIPLET aarch64-linux-gnu)
set(QV_CROSS_MULTIARCH aarch64-linux-gnu)
set(QV_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
