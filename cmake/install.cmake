# Install rules: the program and its window program, its desktop entry, its icons and its AppStream
# metainfo, in the places desktops and software centres look for them, and
# its manual page, changelog and copyright file where Debian keeps them.
include(GNUInstallDirs)

install(TARGETS torvesk)
install(TARGETS torvesk-window DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/torvesk)
install(FILES ${TORVESK_DATA_DIR}/${TORVESK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TORVESK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${TORVESK_DATA_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${TORVESK_DOC_DIR}/torvesk.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TORVESK_DOC_DIR}/copyright ${TORVESK_DOC_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TORVESK_TESTS)
    add_subdirectory(tests/data)
endif()
