# Shipping checks: the committed icons are what make_icons writes, an install
# puts every file in its place with valid desktop metadata, the Debian package
# installs, runs and leaves nothing behind, and both Windows zips start and play
# under wine.

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

# The Debian package, built from this tree into deb/ with Debian's flags, then
# installed on this machine with apt-get, run (--version, and every golden
# replay with the installed replay tool and data) and purged, leaving nothing.
# lintian must find no error. Skipped when not root or when quorvaner is
# already installed here.
add_test(NAME package.deb COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-deb --build-root ${CMAKE_BINARY_DIR}/deb)
set_tests_properties(package.deb PROPERTIES LABELS package SKIP_RETURN_CODE 77 PROCESSORS 2 TIMEOUT 600)

# Each Windows zip, built from this tree, unpacked into an empty folder and
# played under wine in a virtual X display: one top folder, Windows line ends
# in the texts, title, cockpit, clean close; the 64-bit one also plays a game
# with the keyboard alone, recorded and replayed with the replay tool. Skipped
# when wine, Xvfb, xdotool, ImageMagick or the cross compiler is missing, and
# the 32-bit one when wine has no wine32. Both share one wine prefix, kept in
# the build folder after the first run, so they take turns.
set(QV_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
foreach(arch win64 win32)
  set(keyboard_game)
  if(arch STREQUAL "win64" AND TARGET quorvaner-replay)
    set(keyboard_game --keyboard $<TARGET_FILE:quorvaner-replay>)
  endif()
  add_test(NAME wine.smoke_${arch}
           COMMAND sh -c [[
             root=$1 dir=$2 version=$3 arch=$4
             shift 4
             "$root"/scripts/smoke-wine --check-tools &&
             "$root"/scripts/build-windows --no-install --arch "$arch" --build-root "$dir" --dist "$dir"/dist &&
             "$root"/scripts/smoke-wine --wineprefix "$dir"/wineprefix --shots "$dir"/shots-"$arch" "$@" \
               "$dir"/dist/quorvaner-"$version"-"$arch".zip
           ]] smoke-wine ${CMAKE_SOURCE_DIR} ${QV_WINDOWS_DIR} ${PROJECT_VERSION} ${arch} ${keyboard_game})
  set_tests_properties(wine.smoke_${arch} PROPERTIES LABELS wine SKIP_RETURN_CODE 77 PROCESSORS 2 TIMEOUT 900
                       RESOURCE_LOCK qv_wineprefix)
endforeach()
