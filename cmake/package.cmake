# What Windows users download, made by the 32-bit build: the zip (target package)
# and the installer (target installer, cmake/installer.cmake). Both carry the two
# savers, win32/solvane.scr from this build and win64/solvane.scr from the 64-bit
# build beside it, the default texture folder and a short guide. The tiles are made
# on the host (solvane-tiles), which a cross build cannot run, so they come from a
# folder made beforehand; so does the 64-bit saver, from its own build.

set(SOLVANE_DEFAULT_TEXTURES "${PROJECT_SOURCE_DIR}/build/native/textures" CACHE PATH
    "Folder with tex.tex and the sixteen tiles d11.bmp ... n24.bmp, as solvane-tiles writes it")
set(SOLVANE_WIN64_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/win64" CACHE PATH
    "Build folder of the 64-bit saver (win64 preset), whose solvane.scr goes beside the 32-bit one")

install(DIRECTORY "${SOLVANE_DEFAULT_TEXTURES}/" DESTINATION textures COMPONENT data
        FILES_MATCHING PATTERN "tex.tex" PATTERN "[dn][12][1-4].bmp" PATTERN "SOURCES.txt")
# The still cloud map, made by the host build beside its texture folder.
set(SOLVANE_STILL_CLOUDS "${SOLVANE_DEFAULT_TEXTURES}/../clouds.png" CACHE FILEPATH
    "The still cloud map clouds.png, as solvane-tiles --clouds writes it")
install(FILES "${SOLVANE_STILL_CLOUDS}" DESTINATION . COMPONENT data)
configure_file(${PROJECT_SOURCE_DIR}/src/resources/clouds_notice.txt
               ${PROJECT_BINARY_DIR}/CLOUDS.txt @ONLY NEWLINE_STYLE WIN32)
install(FILES ${PROJECT_BINARY_DIR}/CLOUDS.txt DESTINATION . COMPONENT data)
configure_file(${PROJECT_SOURCE_DIR}/src/resources/install_guide.txt
               ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION . COMPONENT data)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY
               NEWLINE_STYLE WIN32)
install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION . COMPONENT data)
# The 64-bit saver goes in through its own build's install rules (component saver,
# folder win64), stripped when this install strips.
install(CODE "
  set(strip \"\")
  if(CMAKE_INSTALL_DO_STRIP)
    set(strip --strip)
  endif()
  execute_process(COMMAND \"${CMAKE_COMMAND}\" --install \"${SOLVANE_WIN64_BUILD_DIR}\"
                          --component saver --prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\" \${strip}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR \"Could not install the 64-bit saver from ${SOLVANE_WIN64_BUILD_DIR}: \"
      \"build it first (cmake --preset win64 && cmake --build --preset win64), or point \"
      \"SOLVANE_WIN64_BUILD_DIR at its build folder.\")
  endif()
  # A 64-bit build configured before it had this install rule installs nothing.
  if(NOT EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/win64/solvane.scr\")
    message(FATAL_ERROR \"${SOLVANE_WIN64_BUILD_DIR} installed no win64/solvane.scr: \"
      \"build it again (cmake --build --preset win64).\")
  endif()
" COMPONENT saver)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Solvane)
set(CPACK_PACKAGE_VENDOR Solvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "The Earth lit by the Sun as it stands now, as a screen saver")
set(CPACK_PACKAGE_FILE_NAME "solvane-${PROJECT_VERSION}-windows")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Users get no debugger use from the symbols; the saver is less than half the size without.
set(CPACK_STRIP_FILES ON)
# Checked when the package is made, not when the build is configured: the saver builds
# without the tiles and the 64-bit build, only its package needs them.
set(CPACK_SOLVANE_DEFAULT_TEXTURES "${SOLVANE_DEFAULT_TEXTURES}")
set(CPACK_SOLVANE_WIN64_BUILD_DIR "${SOLVANE_WIN64_BUILD_DIR}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/package_check.cmake")
include(CPack)
