# The Debian package (cpack -G DEB, or the "package" target): the files of cmake/Install.cmake
# below /usr, with the libraries' packages found by dpkg-shlibdeps and the rest named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane developers <dev@quorvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client of the Quorvane real-estate price service")
# Lines of at most 80 columns: package tools show them as they are.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane shows the Quorvane real-estate price service in a desktop window:
sign-in with an account, a microblog account or a new registration, house
prices of the communities a user follows, notifications in the tray and
sharing to the microblog.")

# "01.00.201205281429" becomes 1.0.201205281429: the package version grows with the client's.
string(REPLACE "." ";" quorvane_version_fields "${QUORVANE_CLIENT_VERSION}")
list(TRANSFORM quorvane_version_fields REPLACE "^0+([0-9])" "\\1")
list(JOIN quorvane_version_fields "." CPACK_PACKAGE_VERSION)
set(QUORVANE_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}")
include(${CMAKE_CURRENT_LIST_DIR}/InstallDocs.cmake)

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quorvane.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window texts are Chinese; without a CJK font every caption is a row of boxes. Qt's own
# buttons ("是", "否") come from its translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
# xdg-utils for links opened outside; qt6-wayland for a Wayland session without XWayland; pkexec
# for the updater of a client installed for every user, which a package for a distribution does
# not hold (its package manager updates it).
if(QUORVANE_DISTRIBUTION_PACKAGE)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
else()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, qt6-wayland, xdg-utils")
endif()

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
