# stream_put of full-size frames to 1 and 10 loopback clients.
add_executable(stream_benchmark stream_benchmark.cpp)
target_link_libraries(stream_benchmark PRIVATE vok_stream benchmark::benchmark Threads::Threads)
