# Desktop installation and the Debian package.
#
#   cmake --install <build> --prefix /usr        program in games/, its voice module, menu entry,
#                                                icons, AppStream metainfo, manual pages, copyright
#   cpack --config <build>/CPackConfig.cmake     morvantide_<version>_<arch>.deb
if(NOT MORVANTIDE_BUILD_APP)
    return()
endif()

include(GNUInstallDirs)

set(MORVANTIDE_APP_ID org.example.Morvantide)

# A game goes to games/ (/usr/games), its settings file beside it; the voice module is private.
install(TARGETS morvantide RUNTIME DESTINATION games)
# Always lib/games/morvantide beside games/: the program looks for it in ../lib/games/morvantide.
install(TARGETS morvantide_voice_module LIBRARY DESTINATION lib/games/morvantide
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${PROJECT_SOURCE_DIR}/data/${MORVANTIDE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${MORVANTIDE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/morvantide-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME morvantide.png)
endforeach()

# Manual pages and the changelog are installed compressed, without time stamps (gzip -n), so
# that the same sources give the same package.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/morvantide)
set(compressed_docs "")
foreach(pair IN ITEMS "docs/morvantide.6|man/morvantide.6.gz" "docs/morvantide.ru.6|man/ru/morvantide.6.gz"
                      "data/changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 output)
    set(output ${PROJECT_BINARY_DIR}/compressed-docs/${output})
    cmake_path(GET output PARENT_PATH output_dir)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
        COMMAND sh -c "gzip -9nc \"$1\" >\"$2\"" sh ${PROJECT_SOURCE_DIR}/${source} ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(morvantide_compressed_docs ALL DEPENDS ${compressed_docs})
install(FILES ${PROJECT_BINARY_DIR}/compressed-docs/man/morvantide.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/compressed-docs/man/ru/morvantide.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)
install(FILES ${PROJECT_BINARY_DIR}/compressed-docs/changelog.gz ${PROJECT_SOURCE_DIR}/data/copyright
        DESTINATION ${doc_dir})

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
# The summary above is the synopsis; this is the extended description below it (CPack indents
# its lines).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two people take turns at one mouse: a dragged piece is checked against the
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
