# The window layout arithmetic, and the SDL window as the player handles it on
# SDL's dummy drivers (no display or sound card needed).
if(NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()

add_executable(view_layout_tests ${CMAKE_CURRENT_LIST_DIR}/sdl/view_layout_tests.cpp)
target_link_libraries(view_layout_tests PRIVATE qv_platform GTest::gtest GTest::gtest_main)
gtest_discover_tests(view_layout_tests TEST_PREFIX "layout." DISCOVERY_MODE PRE_TEST)

if(TARGET qv_sdl)
  add_executable(sdl_display_tests ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_display_tests.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/sdl/sdl_message_box_tests.cpp)
  target_link_libraries(sdl_display_tests PRIVATE qv_sdl GTest::gtest GTest::gtest_main)
  gtest_discover_tests(sdl_display_tests
                       TEST_PREFIX "sdl."
                       DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data
                       PROPERTIES LABELS "sdl" TIMEOUT 30 ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endif()
