# The Windows game gets its icon and version information from
# packaging/windows/quorvaner.rc, compiled by windres.
set(QV_RC_FILE ${CMAKE_SOURCE_DIR}/packaging/windows/quorvaner.rc)
target_sources(quorvaner PRIVATE ${QV_RC_FILE})
# windres looks for quorvaner.ico on the include path.
set_property(SOURCE ${QV_RC_FILE} APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/packaging/icons)
