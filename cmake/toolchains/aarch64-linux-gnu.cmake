# 64-bit ARM boards: the video relay library.
set(VOK_CROSS_TRIPLE aarch64-linux-gnu)
set(VOK_CROSS_QEMU /usr/bin/qemu-aarch64-static)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-multiarch.cmake)
