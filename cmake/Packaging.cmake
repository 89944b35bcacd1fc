# The Debian package, made by scripts/package (cpack in a build configured with
# VELTO_PACKAGE=ON): the programs, stock sounds, machine hive, menu entry, icon, metadata.

if(VELTO_PACKAGE)
  # A package without the GUI would install a program with no window and no tray icon;
  # refuse to make one.
  find_package(Qt6 QUIET COMPONENTS Widgets Svg)
  if(NOT Qt6Widgets_FOUND OR NOT Qt6Svg_FOUND)
    message(FATAL_ERROR
      "The Velto package needs the Qt 6 GUI toolkit, which was not found. Install "
      "qt6-base-dev and qt6-svg-dev (scripts/setup does), or configure without "
      "VELTO_PACKAGE for a build without a package.")
  endif()
  # cpack builds only the installed programs (scripts/package names them), not every test.
  set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velto")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ring-back tones and an answering machine for calls")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "When a contact calls, Velto answers at once with the sound devices detached and\n"
    "plays the tone chosen for that contact, so the caller hears it instead of plain\n"
    "ringing, while the user is rung with a small answering panel. It also offers ring\n"
    "tones, an answering machine with a missed-call list, MP3-to-tone conversion and a\n"
    "partner ring-tone store.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velto developers <velto@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Installed with DESTDIR, so the install step sees the real prefix (/usr) and the machine
# hive names /usr/share/velto, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Runtime dependencies from the libraries the programs actually link, plus the SIP stack's
# grammar files, which liblinphone10 does not ship: without them the stack aborts the
# program on the first SIP MESSAGE it receives.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "linphone-common")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
