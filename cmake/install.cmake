# Install rules: the program, its desktop entry, its icons and its AppStream
# metainfo, in the places desktops and software centres look for them.
include(GNUInstallDirs)

set(TORVESK_APP_ID org.example.torvesk)
set(TORVESK_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(TORVESK_METAINFO ${TORVESK_DATA_DIR}/${TORVESK_APP_ID}.metainfo.xml)

# The metainfo keeps every release with its date and notes, so it cannot be
# generated; instead its newest entry has to name this version.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TORVESK_METAINFO})
file(READ ${TORVESK_METAINFO} metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest_release "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "The newest release in ${TORVESK_METAINFO} is \"${CMAKE_MATCH_1}\", "
                        "not ${PROJECT_VERSION}: add a <release> entry for ${PROJECT_VERSION}.")
endif()

install(TARGETS torvesk)
install(FILES ${TORVESK_DATA_DIR}/${TORVESK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TORVESK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${TORVESK_DATA_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

if(TORVESK_TESTS)
    add_subdirectory(tests/data)
endif()
