# The SDL back end against SDL's dummy video and audio drivers: no display or
# sound card needed. Its own program, as it links qv_sdl instead of qv_headless.
if(TARGET qv_sdl)
  add_executable(sdl_tests ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_backend_tests.cpp
                           ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_display_tests.cpp
                           ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_message_box_tests.cpp
                           ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_input_tests.cpp)
  target_link_libraries(sdl_tests PRIVATE qv_sdl qv_front qv_headless GTest::gtest GTest::gtest_main)
  gtest_discover_tests(sdl_tests
                       TEST_PREFIX "sdl."
                       DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data
                       PROPERTIES LABELS "sdl" TIMEOUT 30 ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endif()
