# The package's documents, built into <build>/doc: the manual page and the
# changelog gzipped the way Debian installs them (-n keeps the name and time
# stamp out, so two builds give the same bytes), and the copyright file, whose
# licence terms are those of LICENSE.
set(TORVESK_DOC_DIR ${PROJECT_BINARY_DIR}/doc)
find_program(GZIP gzip REQUIRED)

# The holder and the terms of LICENSE, as the copyright file's fields want
# them: continuation lines start with a space, an empty line is " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright_line "${licence}")
set(TORVESK_COPYRIGHT ${CMAKE_MATCH_1})
string(FIND "${licence}" "Permission is hereby granted" terms_start)
string(SUBSTRING "${licence}" ${terms_start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " TORVESK_LICENCE_TERMS " ${terms}")
configure_file(${TORVESK_DATA_DIR}/copyright.in ${TORVESK_DOC_DIR}/copyright @ONLY)

configure_file(${TORVESK_DATA_DIR}/torvesk.1.in ${TORVESK_DOC_DIR}/torvesk.1 @ONLY)
configure_file(${TORVESK_CHANGELOG} ${TORVESK_DOC_DIR}/changelog COPYONLY)
set(gzipped_documents)
foreach(document torvesk.1 changelog)
    set(gzipped ${TORVESK_DOC_DIR}/${document}.gz)
    add_custom_command(OUTPUT ${gzipped}
                       COMMAND ${GZIP} -9 -n -k -f ${TORVESK_DOC_DIR}/${document}
                       DEPENDS ${TORVESK_DOC_DIR}/${document} VERBATIM)
    list(APPEND gzipped_documents ${gzipped})
endforeach()
add_custom_target(torvesk_documents ALL DEPENDS ${gzipped_documents})
