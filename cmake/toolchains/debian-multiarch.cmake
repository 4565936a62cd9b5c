# Shared part of the cross toolchains: Debian's cross compiler for
# VOK_CROSS_TRIPLE, the target's libraries from multiarch
# (/usr/lib/<triple>, installed by scripts/setup.sh --cross), and qemu-user
# to run the target's test programs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VOK_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VOK_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${VOK_CROSS_TRIPLE})

# Multiarch puts the target's libraries and CMake packages under the host
# prefix, in /usr/lib/<triple>, which CMAKE_LIBRARY_ARCHITECTURE makes
# find_library() and find_package() search first; headers are shared.
# Python's build settings come from Debian's <triple>-python3.X-config, never
# from another python*-config that happens to be first on PATH.
set(Python3_ROOT_DIR /usr)

# The cross compiler links against the C library in /usr/<triple>/lib, which
# is a different build from the multiarch one in /lib/<triple>. The loader
# comes from the -L prefix, so the library path keeps its C library with it;
# mixing the two crashes in libstdc++'s start-up.
# VOK_CROSS_QEMU_COMMAND runs one target program; tests that start target
# programs themselves put it in front of them, since without binfmt_misc the
# kernel cannot execute them directly.
set(VOK_CROSS_QEMU_COMMAND
  ${VOK_CROSS_QEMU} -L /usr/${VOK_CROSS_TRIPLE}
  -E LD_LIBRARY_PATH=/usr/${VOK_CROSS_TRIPLE}/lib)
# CTest runs the test programs through run_emulated.py, which builds the same
# command (see there why).
set(CMAKE_CROSSCOMPILING_EMULATOR
  /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/run_emulated.py ${VOK_CROSS_QEMU} ${VOK_CROSS_TRIPLE})
