# The music in data/ must be exactly what make_sounds writes today: regenerate
# it into the build tree and compare byte for byte.
set(QV_SOUND_NAMES THUNDER2 CLEAR BADSONG1 CREDITS GAMEOVER)

if(CMAKE_SCRIPT_MODE_FILE)
  # Run by the test: cmake -DTOOL=... -DOUT=... -DDATA=... -P sounds.cmake
  file(MAKE_DIRECTORY ${OUT})
  execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "make_sounds failed: ${status}")
  endif()
  foreach(name ${QV_SOUND_NAMES})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name}.wav ${DATA}/${name}.wav
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
      message(FATAL_ERROR "${name}.wav differs from the committed data/${name}.wav")
    endif()
  endforeach()
  return()
endif()

if(TARGET make_sounds)
  add_test(NAME sounds_match_committed
           COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:make_sounds> -DOUT=${CMAKE_BINARY_DIR}/sounds
                   -DDATA=${CMAKE_SOURCE_DIR}/data -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(sounds_match_committed PROPERTIES LABELS "data")
endif()
