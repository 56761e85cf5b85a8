# solvane-setup.exe: cmake --build --preset win32 --target installer
# It holds the same files as the zip (cmake/package.cmake): they are installed into a
# folder of the build first, then src/installer/solvane.nsi is compiled over them.
find_program(SOLVANE_MAKENSIS makensis)
set(SOLVANE_INSTALLER ${PROJECT_BINARY_DIR}/solvane-setup.exe)
set(stage ${PROJECT_BINARY_DIR}/installer-files)

if(SOLVANE_MAKENSIS)
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -DCPACK_SOLVANE_DEFAULT_TEXTURES=${SOLVANE_DEFAULT_TEXTURES}
            -DCPACK_SOLVANE_WIN64_BUILD_DIR=${SOLVANE_WIN64_BUILD_DIR}
            -P ${CMAKE_CURRENT_LIST_DIR}/package_check.cmake
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage} --strip
    COMMAND ${SOLVANE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DFILES=${stage}
            -DICON=${PROJECT_SOURCE_DIR}/src/resources/solvane.ico
            -DOUTFILE=${SOLVANE_INSTALLER} ${PROJECT_SOURCE_DIR}/src/installer/solvane.nsi
    BYPRODUCTS ${SOLVANE_INSTALLER}
    COMMENT "Making solvane-setup.exe"
    VERBATIM)
else()
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: install NSIS (scripts/install-deps.sh)"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
add_dependencies(installer solvane)
