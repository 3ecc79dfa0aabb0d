# Desktop installation, as the Debian package (debian/) lays it out:
#
#   cmake --install <build> --prefix /usr   the program in games/, its voice module, the menu
#                                           entry, icons, AppStream metainfo, manual pages, and
#                                           (unless MORVANTIDE_INSTALL_DOCS is off, as in
#                                           debian/rules) the copyright file and the changelog
if(NOT MORVANTIDE_BUILD_APP)
    return()
endif()

include(GNUInstallDirs)

# The AppStream id names no domain: the project holds none, and a reverse-DNS name under a
# real top-level domain would claim somebody's. "internal" is reserved for private use and is
# never delegated.
set(MORVANTIDE_APP_ID internal.morvantide.morvantide)

# A game goes to games/ (/usr/games), its settings file beside it; the voice module is private.
install(TARGETS morvantide RUNTIME DESTINATION games)
# Always lib/games/morvantide beside games/: the program looks for it in ../lib/games/morvantide.
install(TARGETS morvantide_voice_module LIBRARY DESTINATION lib/games/morvantide
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${PROJECT_SOURCE_DIR}/data/morvantide.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/morvantide-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME morvantide.png)
endforeach()

# The metainfo and the manual pages get the version and the release date of debian/changelog
# (cmake/ReleaseInfo.cmake).
set(release_dir ${PROJECT_BINARY_DIR}/release)
configure_file(${PROJECT_SOURCE_DIR}/data/morvantide.metainfo.xml.in
               ${release_dir}/${MORVANTIDE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${release_dir}/${MORVANTIDE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog are installed compressed, without time stamps (gzip -n), so
# that the same sources give the same files.
set(compressed "")
foreach(pair IN ITEMS "docs/morvantide.6.in|man/morvantide.6" "docs/morvantide.ru.6.in|man/ru/morvantide.6"
                      "debian/changelog|changelog")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 output)
    set(output ${release_dir}/${output})
    if(source MATCHES "[.]in$")
        configure_file(${PROJECT_SOURCE_DIR}/${source} ${output} @ONLY)
    else()
        configure_file(${PROJECT_SOURCE_DIR}/${source} ${output} COPYONLY)
    endif()
    add_custom_command(OUTPUT ${output}.gz
        COMMAND sh -c "gzip -9nc \"$1\" >\"$2\"" sh ${output} ${output}.gz
        DEPENDS ${output} VERBATIM)
    list(APPEND compressed ${output}.gz)
endforeach()
add_custom_target(morvantide_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${release_dir}/man/morvantide.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${release_dir}/man/ru/morvantide.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)
if(MORVANTIDE_INSTALL_DOCS)
    install(FILES ${release_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/debian/copyright
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvantide)
endif()
