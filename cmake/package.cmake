# The Debian package of what cmake/install.cmake installs, built by CPack;
# scripts/package builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop web crawler")
set(CPACK_PACKAGE_DESCRIPTION
    "Torvesk visits one web page after another from a start address, shows a
results line for each and appends its address and title to URL.csv in the
directory it was started from. Its user interface is in Japanese.")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_package.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Torvesk developers <torvesk@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# Library dependencies come from dpkg-shlibdeps; the font is loaded by name at
# run time, so no library brings it in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)

include(CPack)
