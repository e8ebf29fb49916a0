# What `cmake --install` puts where (GNUInstallDirs), and the Debian package
# `cpack -G DEB` makes of it. The desktop id is the one the program gives
# Qt (setDesktopFileName), so the task bar finds the entry and its icon.
include(GNUInstallDirs)
set(CORVANE_DESKTOP_ID org.oriel_software.Corvane)
set(CORVANE_DESKTOP_DIR ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
set(CORVANE_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(TARGETS corvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CORVANE_DESKTOP_DIR}/${CORVANE_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CORVANE_DESKTOP_DIR}/${CORVANE_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CORVANE_DESKTOP_DIR}/icons/${CORVANE_DESKTOP_ID}.svg
        DESTINATION ${CORVANE_ICONS}/scalable/apps)
foreach(size 48 128)
    install(FILES ${CORVANE_DESKTOP_DIR}/icons/corvane-${size}.png
            DESTINATION ${CORVANE_ICONS}/${size}x${size}/apps RENAME ${CORVANE_DESKTOP_ID}.png)
endforeach()

# Manual pages are installed compressed, as Debian's policy asks.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz
    COMMAND gzip -9n -c ${CORVANE_DESKTOP_DIR}/corvane.1 > ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz
    DEPENDS ${CORVANE_DESKTOP_DIR}/corvane.1 VERBATIM)
add_custom_target(corvane_manpage ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "Oriel Software")
set(CPACK_PACKAGE_CONTACT "Oriel Software <corvane@oriel-software.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "address book for the people and businesses you know")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Corvane keeps one person's address book: names, addresses, phones, e-mail
and web addresses, birthdays and anniversaries, comments, affiliations and a
picture. It finds entries at once, shows the coming birthdays, filters by
affiliation, and prints lists, entry reports, mailing labels and pictures.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.oriel-software.example/corvane")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the binary links are worked out from it (dpkg-shlibdeps);
# the fonts its printouts are laid out in are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
