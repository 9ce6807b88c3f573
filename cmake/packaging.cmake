# The Debian package, made with `cpack -G DEB` in the build folder (scripts/package.sh does it
# all): the program under /usr, with the packages it needs at run time declared, so that
# `apt install ./kx47_*.deb` on a fresh Debian 12 brings in everything.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kx47)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KX47 Logbook developers")
set(CPACK_PACKAGE_CONTACT "KX47 Logbook developers <logbook@kx47.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "amateur radio logbook for the DIPLOMA KX47 award")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kx47.example.org/")
# The long description alone: CPack puts the summary above it as the synopsis and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KX47 Logbook keeps the contacts (QSOs) of a radio amateur who chases the
award DIPLOMA KX47: contacts with stations in the 576 sub-squares KX47AA to
KX47XX of the Maidenhead square KX47. It logs, browses, searches, corrects
and deletes QSOs, counts the worked, confirmed and accredited sub-squares per
band against the award thresholds, prints the award application and looks
places up in its gazetteer.")
# The libraries the program links come from dpkg-shlibdeps where it is installed; the plugins
# Qt loads at run time (the SQLite driver, the display platforms, SVG icons) and the fonts of
# the printouts are named here.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6sql6-sqlite, libqt6svg6, qt6-qpa-plugins, fonts-liberation2")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6, libqt6gui6, libqt6widgets6, libqt6sql6, libqt6sql6-sqlite, \
libqt6printsupport6, libqt6svg6, libqt6network6, libqt6keychain1, qt6-qpa-plugins, \
fonts-liberation2")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")

include(CPack)
