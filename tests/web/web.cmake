# The web build in Debian's Chromium (tests/web/run); skipped where Chromium or
# emscripten is missing. Compares the page's pictures with the replay tool's.
if(TARGET quorvaner-replay)
  add_test(NAME web.browser
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/run $<TARGET_FILE:quorvaner-replay> ${CMAKE_BINARY_DIR})
  set_tests_properties(web.browser PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 900 PROCESSORS 2 RUN_SERIAL ON)
endif()
