# End-to-end tests of the saver on today's Windows set-ups: the installer, two
# monitors, a scaled display. Each case starts its own X server and Wine prefix
# (tests/e2e/platform_lib.sh), so they need no shared fixture.
set(PLATFORM_ENVIRONMENT
    PLATFORM_WORK=${CMAKE_CURRENT_BINARY_DIR}/platform
    SAVER64=${SOLVANE_WIN64_BUILD_DIR}/solvane.scr
    PROBE64=${SOLVANE_WIN64_BUILD_DIR}/tests/e2e/windows/dpi_probe.exe
    INSTALLER=${SOLVANE_WIN32_BUILD_DIR}/solvane-setup.exe
    INSTALLER_FILES=${SOLVANE_WIN32_BUILD_DIR}/installer-files
    SOLVANE_SNAPSHOT=$<TARGET_FILE:solvane-snapshot>
    TILES=${CMAKE_BINARY_DIR}/textures
    ASAN_OPTIONS=detect_leaks=0)

function(add_platform_test script timeout)
  get_filename_component(group ${script} NAME_WE)
  string(REGEX REPLACE "_test$" "" group ${group})
  foreach(case ${ARGN})
    add_test(NAME e2e_${group}_${case} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${script} ${case})
    set_tests_properties(e2e_${group}_${case} PROPERTIES
      LABELS e2e TIMEOUT ${timeout} SKIP_RETURN_CODE 77
      ENVIRONMENT "${PLATFORM_ENVIRONMENT}")
  endforeach()
endfunction()

# The installer and its uninstaller run emulated here: minutes each.
add_platform_test(installer_test.sh 1500 install_run_uninstall)
add_platform_test(two_monitors_test.sh 300
  each_monitor_its_own_picture travel_on_the_negative_side)
add_platform_test(dpi_test.sh 300 scaled_display_physical_pixels)
