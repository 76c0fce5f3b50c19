# The Windows game gets its icon, version information and application manifest
# from packaging/windows/quorvaner.rc, compiled by windres.
set(QV_RC_FILE ${CMAKE_SOURCE_DIR}/packaging/windows/quorvaner.rc)
target_sources(quorvaner PRIVATE ${QV_RC_FILE})

# The manifest with this version in its four-part form, next to qv_version.h.
set(QV_MANIFEST_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(QV_MANIFEST ${CMAKE_BINARY_DIR}/generated/quorvaner.exe.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/quorvaner.manifest.in ${QV_MANIFEST} @ONLY)

# windres looks for quorvaner.ico and the manifest on the include path; a
# changed manifest or icon compiles the resources again.
set_property(SOURCE ${QV_RC_FILE} APPEND PROPERTY INCLUDE_DIRECTORIES
             ${CMAKE_SOURCE_DIR}/packaging/icons ${CMAKE_BINARY_DIR}/generated)
set_property(SOURCE ${QV_RC_FILE} APPEND PROPERTY OBJECT_DEPENDS
             ${QV_MANIFEST} ${CMAKE_SOURCE_DIR}/packaging/icons/quorvaner.ico)
