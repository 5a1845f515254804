# The Debian package, made with `cpack -G DEB` in a build configured for it (README.md):
# installed below /usr and without the developer's data folder, which cpack checks.
# The menu, icon, file-type and manual-page caches are renewed by the dpkg triggers of
# desktop-file-utils, hicolor-icon-theme, shared-mime-info and man-db when the package
# puts files into their folders, so the package needs no scripts of its own.
set(CPACK_PACKAGE_NAME tilvane)
set(CPACK_PACKAGE_VENDOR "The Tilvane developers")
set(CPACK_PACKAGE_CONTACT "The Tilvane developers <developers@tilvane.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tilvane.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mahjong-solitaire game of stacked tiles")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Remove matching pairs of free tiles until the board of 144 stacked tiles\n"
    "is empty. Thirteen layouts and layouts of your own, random or solvable\n"
    "deals, hints, undo, replay, a solution search, three tile sets, highscores\n"
    "per layout and backups of recent games. Comes with a layout designer and\n"
    "tilvane-cli, a command-line companion that checks layouts and deals and\n"
    "solves games for scripts.")

set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The licence as Debian states it, pointing at the system's copy of the full text.
install(FILES "${CMAKE_CURRENT_LIST_DIR}/TilvanePackage.copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tilvane" RENAME copyright)

set(CPACK_TILVANE_DEVELOPER_DATA_DIR "${TILVANE_DEVELOPER_DATA_DIR}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/TilvanePackageChecks.cmake")
include(CPack)
