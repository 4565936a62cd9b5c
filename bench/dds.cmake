# Camera frames and command values from a ring write to their delivery over
# DDS on loopback in another process, beside the ring's own write-to-read.
if(NOT TARGET vok_dds_bridge)
  return()
endif()
add_executable(dds_benchmark dds_benchmark.cpp)
target_link_libraries(dds_benchmark PRIVATE dds_bridge_parts vok_common benchmark::benchmark)
target_compile_definitions(dds_benchmark PRIVATE
  LOOPBACK_CONFIG="${PROJECT_SOURCE_DIR}/dds_bridge/config/loopback.xml")
