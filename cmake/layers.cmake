# qv_layer(TARGET FOLDER [DEPENDENCIES...])
#
# One static library of the .cpp files directly in FOLDER. Its headers are
# reachable only through the target: they are linked into a build-tree include
# folder of its own, so "folder/header.h" resolves for the layer itself and for
# the targets that depend on it, and for nothing else. A file that includes a
# header of a layer above its own does not compile.
function(qv_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  set(include_root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${include_root})
  file(MAKE_DIRECTORY ${include_root}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${include_root}/${folder}/${name} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${include_root})
  target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()
