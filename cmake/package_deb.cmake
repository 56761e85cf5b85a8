# The Debian package of a native build: the hack in XScreenSaver's folder, its
# settings file, the Wayland front end, the default tiles, the two tools and the
# manual pages.
#   cmake --preset native-release && cmake --build --preset native-release --target package
# gives build/native-release/solvane_<version>_amd64.deb. The sanitizer build of the
# native preset makes none: its programs need the sanitizer runtimes and are slow.

if(SOLVANE_SANITIZE)
  return()
endif()
if(NOT TARGET solvane OR NOT TARGET solvane-wayland OR NOT TARGET solvane-snapshot
   OR NOT TARGET solvane-tiles OR NOT TARGET default_textures OR NOT TARGET still_clouds)
  message(WARNING "the .deb needs the hack, solvane-wayland, both tools, the default tiles and "
                  "the still cloud map; "
                  "no package")
  return()
endif()

# The default delay lives in the frame pacing; the settings file and the manual
# page say the same number.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/frame/frame_pacing.h delayLine
     REGEX "DefaultDelayMicroseconds = [0-9]+;")
string(REGEX MATCH "[0-9]+" SOLVANE_DELAY "${delayLine}")
set(SOLVANE_VERSION ${PROJECT_VERSION})

set(DEB_STAGE ${PROJECT_BINARY_DIR}/deb)
configure_file(${PROJECT_SOURCE_DIR}/src/front/x11/solvane.xml.in ${DEB_STAGE}/solvane.xml @ONLY)
# What software centres (GNOME Software, KDE Discover) list.
configure_file(${PROJECT_SOURCE_DIR}/cmake/deb/org.solvane.Solvane.metainfo.xml.in
               ${DEB_STAGE}/org.solvane.Solvane.metainfo.xml @ONLY)
set(MAN_PAGES)
foreach(page solvane.6 solvane-wayland.1 solvane-snapshot.1 solvane-tiles.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page} ${DEB_STAGE}/${page} @ONLY)
  # Debian keeps manual pages compressed, without a time stamp in the header.
  add_custom_command(OUTPUT ${DEB_STAGE}/${page}.gz
    COMMAND gzip -9nf ${DEB_STAGE}/${page} -c > ${DEB_STAGE}/${page}.gz
    DEPENDS ${DEB_STAGE}/${page})
  list(APPEND MAN_PAGES ${DEB_STAGE}/${page}.gz)
endforeach()
add_custom_target(deb_files ALL DEPENDS ${MAN_PAGES})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS solvane RUNTIME DESTINATION libexec/xscreensaver)
install(TARGETS solvane-wayland solvane-snapshot solvane-tiles RUNTIME DESTINATION bin)
install(FILES ${DEB_STAGE}/solvane.xml DESTINATION share/xscreensaver/config)
install(DIRECTORY ${PROJECT_BINARY_DIR}/textures/ DESTINATION share/solvane/textures
        FILES_MATCHING PATTERN "tex.tex" PATTERN "[dn][12][1-4].bmp" PATTERN "SOURCES.txt")
# The still cloud map beside the tiles, where the front ends look for it.
install(FILES ${PROJECT_BINARY_DIR}/clouds.png DESTINATION share/solvane)
install(FILES ${DEB_STAGE}/solvane.6.gz DESTINATION share/man/man6)
install(FILES ${DEB_STAGE}/solvane-wayland.1.gz ${DEB_STAGE}/solvane-snapshot.1.gz
        ${DEB_STAGE}/solvane-tiles.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/deb/copyright DESTINATION share/doc/solvane)
install(FILES ${DEB_STAGE}/org.solvane.Solvane.metainfo.xml DESTINATION share/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Solvane developers <solvane@noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "the Earth lit by the Sun as it stands now, for XScreenSaver and Wayland")
set(CPACK_PACKAGE_DESCRIPTION
  "Solvane draws the Earth as a textured globe lit by the Sun in its position at
this moment, so that the line between day and night follows the real one,
with city lights on the night side. A camera circles the Earth's axis, and the
local date and time are shown in stroke text.

This package holds the XScreenSaver display hack (select Solvane in
xscreensaver-settings), solvane-wayland, which an idle daemon such as swayidle
starts full screen on every output of a Wayland desktop, the default tiles
from NASA's Visible Earth maps,
solvane-tiles to cut tiles from other maps, and solvane-snapshot to render
the globe of any moment to a PNG without a display.")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, found by dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The hack runs by hand without the daemon, but is made for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
# What starts solvane-wayland on wlroots desktops.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS swayidle)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Stops cpack with a clear message when the tiles are incomplete.
set(CPACK_SOLVANE_DEFAULT_TEXTURES "${PROJECT_BINARY_DIR}/textures")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/package_check.cmake")
include(CPack)
