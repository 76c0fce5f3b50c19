# The game in a real X window on a virtual screen, driven with xdotool and
# looked at through screenshots (kept in the build folder). Skipped when Xvfb,
# xdotool or ImageMagick is missing.
if(TARGET quorvaner AND NOT WIN32)
  add_test(NAME e2e.sdl_window
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/e2e/sdl_window.sh $<TARGET_FILE:quorvaner> ${CMAKE_SOURCE_DIR}/data
                   ${CMAKE_BINARY_DIR}/e2e-shots $<$<TARGET_EXISTS:quorvaner-replay>:$<TARGET_FILE:quorvaner-replay>>)
  set_tests_properties(e2e.sdl_window PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 90 RUN_SERIAL TRUE)
endif()

# The SDL program on the dummy drivers: options, settings and recording files
# that cannot be used, seeds, a terminate while recording, demos.
if(TARGET quorvaner AND TARGET quorvaner-replay AND NOT WIN32)
  add_test(NAME sdl.program_runs
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/e2e/program_runs.sh $<TARGET_FILE:quorvaner>
                   $<TARGET_FILE:quorvaner-replay> ${CMAKE_SOURCE_DIR})
  set_tests_properties(sdl.program_runs PROPERTIES LABELS sdl TIMEOUT 120)
endif()

# Three demos that end in a score box fill the best scores, checked against the
# replay tool's summaries; a damaged table is set aside once.
if(TARGET quorvaner AND TARGET quorvaner-replay AND NOT WIN32)
  add_test(NAME sdl.best_scores
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/e2e/best_scores.sh $<TARGET_FILE:quorvaner>
                   $<TARGET_FILE:quorvaner-replay> ${CMAKE_SOURCE_DIR})
  set_tests_properties(sdl.best_scores PROPERTIES LABELS sdl TIMEOUT 240)
endif()
