# Cross builds run their tests under qemu-user (see cmake/toolchains/): the
# processes a test starts must then go through the emulator too.
target_sources(vok_itest_support PRIVATE ${CMAKE_CURRENT_LIST_DIR}/EmulatedLaunch.cpp)
if(VOK_CROSS_QEMU_COMMAND)
  list(JOIN VOK_CROSS_QEMU_COMMAND "|" emulator)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/EmulatedLaunch.cpp PROPERTIES
    COMPILE_DEFINITIONS "VOK_ITEST_EMULATOR=\"${emulator}\";VOK_ITEST_EMULATOR_LINKS=\"${CMAKE_BINARY_DIR}/emulated\"")
endif()
