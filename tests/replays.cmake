# Golden replays: every tests/replays/NAME.txt is a mouse script whose first
# line is "# args: <options>"; the test replay.NAME runs the replay tool in
# data/ with those options and the script, and compares its output with
# tests/replays/NAME.trace line for line (in a cross build the tool runs under
# the emulator).
if(TARGET quorvaner-replay)
  file(GLOB QV_REPLAY_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/replays/*.txt)
  foreach(script ${QV_REPLAY_SCRIPTS})
    get_filename_component(name ${script} NAME_WE)
    get_filename_component(dir ${script} DIRECTORY)
    add_test(NAME replay.${name}
      COMMAND ${CMAKE_CURRENT_LIST_DIR}/replays/check ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:quorvaner-replay>
              ${script} ${dir}/${name}.trace
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data)
    set_tests_properties(replay.${name} PROPERTIES LABELS replay)
  endforeach()
endif()

# The replay tool's --summary line against the golden traces (tests/replays/summary).
if(TARGET quorvaner-replay)
  add_test(NAME replay.summary
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/replays/summary ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:quorvaner-replay>
            ${CMAKE_CURRENT_LIST_DIR}/replays
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data)
  set_tests_properties(replay.summary PROPERTIES LABELS replay)
endif()
