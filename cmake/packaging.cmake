# The Debian package, made by `cpack -G DEB` in a build folder (see
# scripts/package.sh): everything `cmake --install` puts under /usr.

set(WEBHOARD_PACKAGE_MAINTAINER "Tarnwell <webhoard@tarnwell.example>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME webhoard)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Tarnwell)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "turns a web browser's disk cache into a permanent offline archive")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${WEBHOARD_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The long description; the summary above is its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Webhoard reads the cache of Netscape Navigator, Internet Explorer (also as
Wine keeps it), the Chromium family and Firefox, and copies the items you
choose into an archive folder: pages get their links rewritten so the archive
works offline, and index pages let you browse it by site and by kind. The
command line program webhoard archives, lists, searches and re-indexes.")
# Pages, help and folders open in the desktop's programs through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
if(webhoard_gui)
  string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION "
The desktop programs webhoard-nav and webhoard-ie are the Netscape Navigator
and Internet Explorer editions, with Qt 6 windows.")
  # Qt finds its X11 platform plugin there; dpkg-shlibdeps cannot see it.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
endif()

include(CPack)
