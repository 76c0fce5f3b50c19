# What `cmake --install` puts where, in the usual Linux layout:
#   bin/                                   quorvaner, quorvaner-replay
#   share/quorvaner/                       the data files
#   share/applications/                    quorvaner.desktop
#   share/metainfo/                        the AppStream description
#   share/icons/hicolor/NxN/apps/          quorvaner.png
#   share/man/man6/                        quorvaner.6, quorvaner-replay.6
#   share/doc/quorvaner/                   README.md, CHANGELOG.md, LICENSE
include(GNUInstallDirs)

set(QV_APP_ID io.github.quorvaner.Quorvaner)
set(QV_INSTALL_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/quorvaner)

foreach(target quorvaner quorvaner-replay)
  if(TARGET ${target})
    # Where an installed game finds its data when none is given, and the
    # checkout's data, used only while the program runs from its build tree.
    target_compile_definitions(${target} PRIVATE
      QV_INSTALLED_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/quorvaner"
      QV_SOURCE_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

file(GLOB QV_DATA_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/*.obj ${CMAKE_SOURCE_DIR}/data/*.wav
  ${CMAKE_SOURCE_DIR}/data/dat.bin ${CMAKE_SOURCE_DIR}/data/outfile.bmp)
install(FILES ${QV_DATA_FILES} DESTINATION ${QV_INSTALL_DATA_SUBDIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/quorvaner.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/${QV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/quorvaner-${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorvaner.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/quorvaner.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
if(TARGET quorvaner-replay)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/quorvaner-replay.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
