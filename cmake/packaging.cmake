# Version header, install layout and Windows resources. The top CMakeLists.txt
# includes this file once, right after project().

# qv_version.h: QV_VERSION "X.Y.Z" and its three numbers, for any target.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/qv_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)

# The rest needs the game's targets, so it runs once the top directory has been
# read (the Windows branch returns early; deferred calls still run).
if(WIN32)
  enable_language(RC)  # not allowed in a deferred call
  set(qv_deferred ${CMAKE_CURRENT_LIST_DIR}/windows-resources.cmake)
else()
  set(qv_deferred ${CMAKE_CURRENT_LIST_DIR}/install.cmake)
endif()
# The path is spelled out now: a deferred call expands its arguments only when it runs.
cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL include [[${qv_deferred}]])")
