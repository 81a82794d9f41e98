# The Debian package: both programs, the download module, the bundled history and payouts, the
# help, the .desktop file, the icon and the metainfo, as the install rules place them. Build it
# with `cpack -G DEB` in the build folder (or scripts/package-deb). Installed, the programs read
# their bundled files from /usr/share/loto6zumvel and keep the database in the user's data folder.
# Installing and packaging take what is built and build nothing more (not every test and
# benchmark): build the programs first, as scripts/package-deb does.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME loto6zumvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Loto6Zumvel")
set(CPACK_PACKAGE_CONTACT "Loto6Zumvel maintainers <maintainers@loto6zumvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Loto 6 draw history statistics and predictions")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps the Loto 6 draw history in a local database and shows coloured analysis tables, a \
prediction from the history and a comparison with fair draws; a desktop program (Qt 6) and a \
command line.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs and the module link come from dpkg-shlibdeps; the rest are read
# at run time: the window system and SVG plugins, the Japanese fonts and Qt's Japanese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
