# Shared part of the cross toolchains: Debian's cross compiler for
# VOK_CROSS_TRIPLE, the target's libraries from multiarch
# (/usr/lib/<triple>, installed by scripts/setup.sh --cross), and qemu-user
# to run the target's test programs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VOK_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VOK_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${VOK_CROSS_TRIPLE})

# Multiarch puts the target's libraries and CMake packages under the host
# prefix, so the search stays there; find_package() then picks the target's
# copies through CMAKE_LIBRARY_ARCHITECTURE. Programs are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${VOK_CROSS_TRIPLE} /usr)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The cross compiler links against the C library in /usr/<triple>/lib, which
# is a different build from the multiarch one in /lib/<triple>. The loader
# comes from the -L prefix, so the library path keeps its C library with it;
# mixing the two crashes in libstdc++'s start-up.
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${VOK_CROSS_QEMU} -L /usr/${VOK_CROSS_TRIPLE}
  -E LD_LIBRARY_PATH=/usr/${VOK_CROSS_TRIPLE}/lib)
