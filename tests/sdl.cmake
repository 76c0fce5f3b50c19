# The SDL back end against SDL's dummy video and audio drivers: no display or
# sound card needed. Its own program, as it links qv_sdl instead of qv_headless.
if(TARGET qv_sdl)
  add_executable(sdl_backend_tests ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_backend_tests.cpp)
  target_link_libraries(sdl_backend_tests PRIVATE qv_front qv_sdl GTest::gtest GTest::gtest_main)
  target_compile_definitions(sdl_backend_tests PRIVATE QV_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
  gtest_discover_tests(sdl_backend_tests
                       TEST_PREFIX "sdl."
                       DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data
                       PROPERTIES LABELS "sdl" ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endif()
