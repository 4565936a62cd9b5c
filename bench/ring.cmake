# Segment ring round trip (write + read) against two plain copies.
add_executable(ring_benchmark ring_benchmark.cpp)
target_link_libraries(ring_benchmark PRIVATE vok_common benchmark::benchmark)
