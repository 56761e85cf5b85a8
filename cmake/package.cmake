# The Windows package: a zip with solvane.scr, the default texture folder and a short
# guide to installing. The tiles are made on the host (solvane-tiles), which a cross
# build cannot run, so the package takes them from a folder made beforehand.

set(SOLVANE_DEFAULT_TEXTURES "${PROJECT_SOURCE_DIR}/build/native/textures" CACHE PATH
    "Folder with tex.tex and the sixteen tiles d11.bmp ... n24.bmp, as solvane-tiles writes it")

install(TARGETS solvane RUNTIME DESTINATION .)
install(DIRECTORY "${SOLVANE_DEFAULT_TEXTURES}/" DESTINATION textures
        FILES_MATCHING PATTERN "tex.tex" PATTERN "[dn][12][1-4].bmp")
configure_file(${PROJECT_SOURCE_DIR}/src/resources/install_guide.txt
               ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(SOLVANE_PACKAGE_ARCH win64)
else()
  set(SOLVANE_PACKAGE_ARCH win32)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Solvane)
set(CPACK_PACKAGE_VENDOR Solvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "The Earth lit by the Sun as it stands now, as a screen saver")
set(CPACK_PACKAGE_FILE_NAME "solvane-${PROJECT_VERSION}-${SOLVANE_PACKAGE_ARCH}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Users get no debugger use from the symbols; the saver is less than half the size without.
set(CPACK_STRIP_FILES ON)
# Checked when the package is made, not when the build is configured: the saver builds
# without the tiles, only its package needs them.
set(CPACK_SOLVANE_DEFAULT_TEXTURES "${SOLVANE_DEFAULT_TEXTURES}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/package_check.cmake")
include(CPack)
