# Desktop installation and the Debian package.
#
#   cmake --install <build> --prefix /usr        executable, menu entry, icons, AppStream metainfo
#   cpack --config <build>/CPackConfig.cmake     morvantide_<version>_<arch>.deb
if(NOT MORVANTIDE_BUILD_APP)
    return()
endif()

include(GNUInstallDirs)

set(MORVANTIDE_APP_ID org.example.Morvantide)

install(TARGETS morvantide RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/${MORVANTIDE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${MORVANTIDE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/morvantide-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME morvantide.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvantide)
set(CPACK_PACKAGE_VENDOR "Morvantide developers")
set(CPACK_PACKAGE_CONTACT "Morvantide developers <bugs@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess board for two players sharing one computer")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/morvantide/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "chess board for two players sharing one computer
 Two people take turns at one mouse: a dragged piece is checked against the
 rules of its kind, captures and castling are carried out, and the moves are
 written down and can be spoken in Russian or English. The board can be shown
 flipped and a position can be saved to a file and loaded again. The interface
 is in Russian.")
# dpkg-shlibdeps finds the libraries the executable links; what Qt loads at run time and the
# fonts that stand in for the layout's Windows faces have to be named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-urw-base35, fonts-liberation2, fonts-gamaliel")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, pulseaudio | pipewire-pulse")

include(CPack)
