# The segment size the camera stand-in registers, on the architecture built for.
vok_add_integration_test(video_provider_ring_itest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/providerRing_itest.cpp
  DEPENDS FrameFeed frame_feed_host
  TIMEOUT 90)
if(TARGET video_provider_ring_itest)
  target_compile_definitions(video_provider_ring_itest PRIVATE
    FRAME_FEED_PATH="$<TARGET_FILE:FrameFeed>"
    FRAME_FEED_HOST_PATH="$<TARGET_FILE:frame_feed_host>")
endif()
