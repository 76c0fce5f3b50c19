# The Windows executable, cross-compiled with warnings as errors, so that a
# change that breaks the native back end or is not plain C++ on Windows shows
# here. Nothing runs the executable here (the wine tests of packaging.cmake
# do); the build and its resources are the check: the icon, the version
# information and the application manifest with per-monitor DPI awareness v2,
# UTF-8 as the active code page and the version 6 common controls.
find_program(QV_MINGW_CXX x86_64-w64-mingw32-g++)
if(QV_MINGW_CXX)
  add_test(NAME win32.cross_build
    COMMAND ${CMAKE_CTEST_COMMAND}
      --build-and-test ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/win32-cross
      --build-generator ${CMAKE_GENERATOR}
      --build-makeprogram ${CMAKE_MAKE_PROGRAM}
      --build-target quorvaner
      --build-noclean
      --build-options
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
        -DQV_WERROR=ON)
  add_test(NAME win32.resources
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-windows-exe --version ${PROJECT_VERSION}
            ${CMAKE_BINARY_DIR}/win32-cross/quorvaner.exe)
  set_tests_properties(win32.cross_build PROPERTIES FIXTURES_SETUP win32_exe)
  set_tests_properties(win32.resources PROPERTIES FIXTURES_REQUIRED win32_exe LABELS cross SKIP_RETURN_CODE 77)
else()
  add_test(NAME win32.cross_build
    COMMAND sh -c "echo 'x86_64-w64-mingw32-g++ is not installed: no Windows build'; exit 77")
  set_tests_properties(win32.cross_build PROPERTIES SKIP_RETURN_CODE 77)
endif()
set_tests_properties(win32.cross_build PROPERTIES LABELS cross PROCESSORS 2 TIMEOUT 300)
