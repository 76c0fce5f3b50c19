# libFuzzer targets: every tests/fuzz/NAME.cpp becomes fuzz_NAME in fuzz/ of the
# build folder, with its seed corpus in tests/fuzz/corpus/NAME. Clang only, and
# only with -DQV_FUZZ=ON; scripts/fuzz builds and runs them. Included before
# the libraries are defined so that the whole program is instrumented.
option(QV_FUZZ "Build the fuzz targets (clang with libFuzzer)" OFF)
if(QV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QV_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  file(GLOB QV_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../tests/fuzz/*.cpp)
  foreach(source ${QV_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(fuzz_${name} ${source})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    # The game libraries are defined further down; names are resolved at the end.
    target_link_libraries(fuzz_${name} PRIVATE qv_front qv_port qv_headless)
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR})
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
endif()
