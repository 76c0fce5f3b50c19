# The window layout arithmetic every back end with a real window shares.
if(NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()

add_executable(view_layout_tests ${CMAKE_CURRENT_LIST_DIR}/sdl/view_layout_tests.cpp)
target_link_libraries(view_layout_tests PRIVATE qv_platform GTest::gtest GTest::gtest_main)
gtest_discover_tests(view_layout_tests TEST_PREFIX "layout." DISCOVERY_MODE PRE_TEST)
