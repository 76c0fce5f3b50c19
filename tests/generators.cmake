# The committed title picture and glyph file must be exactly what their
# generators write, so a change to a generator cannot slip in without its data.
foreach(pair "make_glyphs;dat.bin" "make_title;outfile.bmp")
  list(GET pair 0 tool)
  list(GET pair 1 file)
  add_test(NAME generator_${tool}_writes
           COMMAND ${tool} ${CMAKE_BINARY_DIR}/generated/${file})
  add_test(NAME generator_${tool}_matches_data
           COMMAND ${CMAKE_COMMAND} -E compare_files
                   ${CMAKE_BINARY_DIR}/generated/${file} ${CMAKE_SOURCE_DIR}/data/${file})
  set_tests_properties(generator_${tool}_writes PROPERTIES FIXTURES_SETUP generated_${tool})
  set_tests_properties(generator_${tool}_matches_data PROPERTIES FIXTURES_REQUIRED generated_${tool})
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated)
