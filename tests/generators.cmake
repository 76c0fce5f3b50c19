# The committed glyph file, title picture and music must be exactly what their
# generators write, on every processor, so a change to a generator (or to the
# arithmetic a compiler makes of it) cannot slip in without its data. Each
# generator writes into the build folder (generator_TOOL_writes), then every
# file is compared byte for byte (generator_TOOL_matches_FILE). The icons are
# checked the same way in packaging.cmake.
set(QV_GENERATED ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${QV_GENERATED})

function(qv_generator_test tool out)
  add_test(NAME generator_${tool}_writes COMMAND ${tool} ${out})
  # Started first: under an emulator make_sounds is the longest test of all.
  set_tests_properties(generator_${tool}_writes PROPERTIES FIXTURES_SETUP generated_${tool} LABELS generator
                                                           COST 1000)
  foreach(file ${ARGN})
    add_test(NAME generator_${tool}_matches_${file}
             COMMAND ${CMAKE_COMMAND} -E compare_files ${QV_GENERATED}/${file} ${CMAKE_SOURCE_DIR}/data/${file})
    set_tests_properties(generator_${tool}_matches_${file} PROPERTIES FIXTURES_REQUIRED generated_${tool}
                                                                      LABELS generator)
  endforeach()
endfunction()

qv_generator_test(make_glyphs ${QV_GENERATED}/dat.bin dat.bin)
qv_generator_test(make_title ${QV_GENERATED}/outfile.bmp outfile.bmp)
qv_generator_test(make_sounds ${QV_GENERATED} THUNDER2.wav BADSONG1.wav CREDITS.wav CLEAR.wav GAMEOVER.wav)
