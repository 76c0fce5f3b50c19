# Shipping checks: the committed icons are what make_icons writes, an install
# puts every file in its place with valid desktop metadata,.

# Icons, like the other generated data.
set(QV_ICON_FILES quorvaner.ico)
foreach(size 16 32 48 64 128 256)
  list(APPEND QV_ICON_FILES quorvaner-${size}x${size}.png)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated/icons)
add_test(NAME generator_make_icons_writes
         COMMAND make_icons ${CMAKE_SOURCE_DIR}/data/outfile.bmp ${CMAKE_BINARY_DIR}/generated/icons)
set_tests_properties(generator_make_icons_writes PROPERTIES FIXTURES_SETUP generated_make_icons)
foreach(file ${QV_ICON_FILES})
  add_test(NAME generator_make_icons_matches_${file}
           COMMAND ${CMAKE_COMMAND} -E compare_files
                   ${CMAKE_BINARY_DIR}/generated/icons/${file} ${CMAKE_SOURCE_DIR}/packaging/icons/${file})
  set_tests_properties(generator_make_icons_matches_${file} PROPERTIES FIXTURES_REQUIRED generated_make_icons)
endforeach()

# Install into a temporary prefix and validate the desktop entry, the AppStream
# file and the man page (skipped when the validators are not installed).
add_test(NAME package.install_layout
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-install ${CMAKE_BINARY_DIR})
set_tests_properties(package.install_layout PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 120)
