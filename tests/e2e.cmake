# The game in a real X window on a virtual screen, driven with xdotool and
# looked at through screenshots (kept in the build folder). Skipped when Xvfb,
# xdotool or ImageMagick is missing.
if(TARGET quorvaner AND NOT WIN32)
  add_test(NAME e2e.sdl_window
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/e2e/sdl_window.sh $<TARGET_FILE:quorvaner> ${CMAKE_SOURCE_DIR}/data
                   ${CMAKE_BINARY_DIR}/e2e-shots)
  set_tests_properties(e2e.sdl_window PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 90 RUN_SERIAL TRUE)
endif()
