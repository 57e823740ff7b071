# The Debian package (cpack -G DEB, or the "package" target): the files of cmake/Install.cmake
# below /usr, with the libraries' packages found by dpkg-shlibdeps and the rest named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane developers <dev@quorvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client of the Quorvane real-estate price service")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane shows the Quorvane real-estate price service in a desktop window: sign-in with an
account, a microblog account or a new registration, house prices of the communities a user
follows, notifications in the tray, sharing to the microblog, and updates of itself.")

# "01.00.201205281429" becomes 1.0.201205281429: the package version grows with the client's.
string(REPLACE "." ";" quorvane_version_fields "${QUORVANE_CLIENT_VERSION}")
list(TRANSFORM quorvane_version_fields REPLACE "^0+([0-9])" "\\1")
list(JOIN quorvane_version_fields "." CPACK_PACKAGE_VERSION)

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.quorvane.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window texts are Chinese; without a CJK font every caption is a row of boxes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
# pkexec for updating a client installed for every user, xdg-utils for links opened outside.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, xdg-utils")

if(NOT DEFINED QUORVANE_INSTALL_APPDIR)
  set(QUORVANE_INSTALL_APPDIR lib/quorvane)
endif()
set(QUORVANE_PACKAGE_APPDIR "${CPACK_PACKAGING_INSTALL_PREFIX}/${QUORVANE_INSTALL_APPDIR}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/postrm.in ${PROJECT_BINARY_DIR}/packaging/postrm @ONLY)
file(CHMOD ${PROJECT_BINARY_DIR}/packaging/postrm
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# "package_source" packs the sources without build folders, the demo profile or the history.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.demo/")

include(CPack)
