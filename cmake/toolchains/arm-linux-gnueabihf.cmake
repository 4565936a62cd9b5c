# 32-bit ARM boards (hard-float ABI): the broker, servo controller and command feed.
set(VOK_CROSS_TRIPLE arm-linux-gnueabihf)
set(VOK_CROSS_QEMU /usr/bin/qemu-arm-static)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-multiarch.cmake)
# The armhf interpreter under qemu-user, so that the command feed module is
# built for it (its extension suffix) and its tests run inside it.
set(Python3_EXECUTABLE ${CMAKE_CURRENT_LIST_DIR}/python3-armhf CACHE FILEPATH "Interpreter that loads _CommandFeed")
# Debian's armhf ABI keeps a 32-bit time_t and off_t: the wall clock would wrap
# in January 2038 (the stream's frame pacing runs on it) and files stop at
# 2 GiB. Our code takes the 64-bit variants; none of it hands a time_t or an
# off_t to a library built without them.
add_compile_definitions(_FILE_OFFSET_BITS=64 _TIME_BITS=64)
