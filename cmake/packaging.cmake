# Installing: the programs, the desktop entry, the icon at three sizes and the AppStream metainfo,
# laid out as a Linux desktop expects under any prefix. `cpack -G DEB` wraps the same files in two
# packages from one run: quillet, the desktop game, and quillet-host, the dedicated host alone,
# which needs no display and none of the desktop's libraries (a fleet's image installs only it).
include(GNUInstallDirs)

install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desktop)
if(TARGET quillet-host)
  install(TARGETS quillet-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT host)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/quillet.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/com.orvanesoftware.Quillet.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
foreach(size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/quillet-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quillet.png
          COMPONENT desktop)
endforeach()

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Orvane Software")
set(CPACK_PACKAGE_CONTACT "Orvane Software")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvanesoftware.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Networked draw-and-guess party game")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL desktop host)
set(CPACK_COMPONENT_DESKTOP_DESCRIPTION "Networked draw-and-guess party game")
set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME quillet)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6multimedia6 (>= 6.4), qt6-qpa-plugins, libjpeg62-turbo, libminiupnpc17")
set(CPACK_COMPONENT_HOST_DESCRIPTION "Dedicated host for the Quillet draw-and-guess game, without a window")
set(CPACK_DEBIAN_HOST_PACKAGE_NAME quillet-host)
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION net)
set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS
    "libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.4), libqt6network6 (>= 6.4), libminiupnpc17")
include(CPack)
