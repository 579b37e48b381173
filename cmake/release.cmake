# The release this tree builds: PROJECT_VERSION, which the metainfo's and the
# changelog's newest entries must both name, and its date, which the manual
# page shows. Both files keep every release with its notes, so neither can be
# generated; configuring checks them instead.
set(TORVESK_APP_ID org.example.torvesk)
set(TORVESK_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(TORVESK_METAINFO ${TORVESK_DATA_DIR}/${TORVESK_APP_ID}.metainfo.xml)
set(TORVESK_CHANGELOG ${TORVESK_DATA_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TORVESK_METAINFO}
                                                                ${TORVESK_CHANGELOG})

# Stops configuring when a file's newest release is not PROJECT_VERSION.
function(torvesk_require_release file found)
    if(NOT found STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "The newest release in ${file} is \"${found}\", not "
                            "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}.")
    endif()
endfunction()

file(READ ${TORVESK_METAINFO} metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\" date=\"([^\"]*)\"" newest_release "${metainfo}")
torvesk_require_release(${TORVESK_METAINFO} "${CMAKE_MATCH_1}")
set(TORVESK_RELEASE_DATE ${CMAKE_MATCH_2})

file(STRINGS ${TORVESK_CHANGELOG} changelog_heading LIMIT_COUNT 1)
string(REGEX MATCH "^torvesk \\(([^)]*)\\)" newest_entry "${changelog_heading}")
torvesk_require_release(${TORVESK_CHANGELOG} "${CMAKE_MATCH_1}")
