# Installation and the Debian package (cpack -G DEB, or the `package` target).
#
#   /usr/bin/tvxmonitor, /usr/bin/tvxsim (when the runner is built),
#   /usr/bin/tvxsim-panel (the bench window, when it is built)
#   /usr/lib/<multiarch>/tvxmonitor/libtvxusb.so.1   private, found through the
#       executables' RUNPATH relative to $ORIGIN: an extracted package runs in
#       place, and LD_LIBRARY_PATH still puts another libtvxusb.so.1 first
#   /usr/lib/<multiarch>/tvxmonitor/libtvxusb-sip.so  the SIP line's module,
#       which the library loads from its own folder when a line is configured
#   /usr/share/tvxmonitor/scenarios/*.scn, desktop entries, AppStream metadata,
#   hicolor icons, manual pages, copyright and changelog
include(GNUInstallDirs)

set(TVX_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
set(TVX_APP_ID com.telvora.tvxmonitor)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(TVX_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/tvxmonitor)
else()
  set(TVX_PRIVATE_LIBDIR lib/tvxmonitor)
endif()
set(TVX_ICON_SIZES 16 22 24 32 48 64 128 256)
set(TVX_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tvxmonitor)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TVX_DATA_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Executables find the private library relative to their own folder.
file(RELATIVE_PATH tvx_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${TVX_PRIVATE_LIBDIR})
foreach(target tvxmonitor tvxsim)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${tvx_bin_to_lib}")
    target_link_options(${target} PRIVATE -Wl,--enable-new-dtags)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The bench window is a control client of the library, not linked to it.
if(TARGET tvxsim-panel)
  install(TARGETS tvxsim-panel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS tvxusb LIBRARY DESTINATION ${TVX_PRIVATE_LIBDIR} NAMELINK_SKIP PERMISSIONS ${TVX_DATA_PERMISSIONS})
install(TARGETS tvxusb_sip LIBRARY DESTINATION ${TVX_PRIVATE_LIBDIR} PERMISSIONS ${TVX_DATA_PERMISSIONS})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/simulator/scenarios/
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/tvxmonitor/scenarios
        FILE_PERMISSIONS ${TVX_DATA_PERMISSIONS}
        FILES_MATCHING PATTERN "*.scn")

# Generated files: versioned texts, gzipped manual pages and changelog, icons.
set(tvx_gen ${PROJECT_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${tvx_gen}/icons)
configure_file(${TVX_DIST_DIR}/${TVX_APP_ID}.metainfo.xml.in ${tvx_gen}/${TVX_APP_ID}.metainfo.xml @ONLY)
set(tvx_gzipped)
foreach(text tvxmonitor.1 tvxsim.1 tvxsim-panel.1 changelog)
  configure_file(${TVX_DIST_DIR}/${text} ${tvx_gen}/${text} @ONLY)
  add_custom_command(OUTPUT ${tvx_gen}/${text}.gz
                     COMMAND gzip -9nfk ${text}
                     DEPENDS ${tvx_gen}/${text}
                     WORKING_DIRECTORY ${tvx_gen}
                     COMMENT "Compressing ${text}")
  list(APPEND tvx_gzipped ${tvx_gen}/${text}.gz)
endforeach()
set(tvx_icons ${tvx_gen}/icons/tvxmonitor.svg)
foreach(size ${TVX_ICON_SIZES})
  list(APPEND tvx_icons ${tvx_gen}/icons/tvxmonitor-${size}.png)
endforeach()
add_custom_command(OUTPUT ${tvx_icons}
                   COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                           $<TARGET_FILE:tvx_icon_export> ${tvx_gen}/icons ${TVX_ICON_SIZES}
                   DEPENDS tvx_icon_export
                   COMMENT "Writing the application icon")
add_custom_target(tvx_dist ALL DEPENDS ${tvx_gzipped} ${tvx_icons})

install(FILES ${TVX_DIST_DIR}/${TVX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications PERMISSIONS ${TVX_DATA_PERMISSIONS})
if(TARGET tvxsim-panel)
  install(FILES ${TVX_DIST_DIR}/com.telvora.tvxsim-panel.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications PERMISSIONS ${TVX_DATA_PERMISSIONS})
  install(FILES ${tvx_gen}/tvxsim-panel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          PERMISSIONS ${TVX_DATA_PERMISSIONS})
endif()
install(FILES ${tvx_gen}/${TVX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo PERMISSIONS ${TVX_DATA_PERMISSIONS})
install(FILES ${tvx_gen}/tvxmonitor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 PERMISSIONS ${TVX_DATA_PERMISSIONS})
if(TARGET tvxsim)
  install(FILES ${tvx_gen}/tvxsim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 PERMISSIONS ${TVX_DATA_PERMISSIONS})
endif()
install(FILES ${TVX_DIST_DIR}/copyright ${tvx_gen}/changelog.gz
        DESTINATION ${TVX_DOCDIR} PERMISSIONS ${TVX_DATA_PERMISSIONS})
install(FILES ${tvx_gen}/icons/tvxmonitor.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps PERMISSIONS ${TVX_DATA_PERMISSIONS})
foreach(size ${TVX_ICON_SIZES})
  install(FILES ${tvx_gen}/icons/tvxmonitor-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME tvxmonitor.png PERMISSIONS ${TVX_DATA_PERMISSIONS})
endforeach()

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tvxmonitor)
set(CPACK_PACKAGE_VENDOR Telvora)
set(CPACK_PACKAGE_CONTACT "Telvora Parlino tools <tvxmonitor@telvora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control and monitor tool for the Parlino USB telephony adapter")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://telvora.example/parlino/tvxmonitor)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no shared library names: the platform plugin that shows the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# The simulated adapter as built: the soname the executables need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/simulator)
# The synopsis is the summary above; these lines are the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Telvora Parlino USB Control / Monitor drives every function of the Parlino
USB telephony adapter, the box between a telephone handset and an analogue
line that streams audio to and from the PC, and shows what it reports: an
event log with decoded caller ID that can be copied and saved, the device
commands, a dial-string interpreter, a parameter editor, a spectrum readout,
country selection, serial programming, melody upload and test dialogs.

The package ships a simulated adapter library, so that the tool runs without
hardware, with example scenarios for it, and a bench window that shows the
simulated handset, adapter and far end and lets a person act on them.")
include(CPack)
