# Read by cpack before it packs (the zip and the Debian package), and run by the
# installer target (cmake -P): stops with a clear message when the default texture
# folder is incomplete or the 64-bit saver has not been built, rather than shipping a
# package without them.
set(missing "")
foreach(name tex.tex d11.bmp d12.bmp d13.bmp d14.bmp d21.bmp d22.bmp d23.bmp d24.bmp
             n11.bmp n12.bmp n13.bmp n14.bmp n21.bmp n22.bmp n23.bmp n24.bmp)
  if(NOT EXISTS "${CPACK_SOLVANE_DEFAULT_TEXTURES}/${name}")
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  list(JOIN missing " " missing)
  message(FATAL_ERROR
    "The default texture folder is incomplete: ${CPACK_SOLVANE_DEFAULT_TEXTURES}\n"
    "Missing: ${missing}\n"
    "Make the tiles with the host build first:\n"
    "  cmake --preset native && cmake --build --preset native --target default_textures\n"
    "or point SOLVANE_DEFAULT_TEXTURES at a folder that holds them:\n"
    "  cmake --preset win32 -DSOLVANE_DEFAULT_TEXTURES=/path/to/textures")
endif()
# The still cloud map lies beside the texture folder in every build tree.
if(DEFINED CPACK_SOLVANE_DEFAULT_TEXTURES AND NOT EXISTS "${CPACK_SOLVANE_DEFAULT_TEXTURES}/../clouds.png")
  message(FATAL_ERROR
    "No still cloud map beside ${CPACK_SOLVANE_DEFAULT_TEXTURES}; make it with the host build:\n"
    "  cmake --preset native && cmake --build --preset native --target still_clouds")
endif()
# Only the Windows package carries the 64-bit saver; the Debian one sets no folder.
if(DEFINED CPACK_SOLVANE_WIN64_BUILD_DIR AND NOT EXISTS "${CPACK_SOLVANE_WIN64_BUILD_DIR}/solvane.scr")
  message(FATAL_ERROR
    "No 64-bit saver in ${CPACK_SOLVANE_WIN64_BUILD_DIR}; the package carries both builds.\n"
    "Build it first:\n"
    "  cmake --preset win64 && cmake --build --preset win64\n"
    "or point SOLVANE_WIN64_BUILD_DIR at its build folder:\n"
    "  cmake --preset win32 -DSOLVANE_WIN64_BUILD_DIR=/path/to/win64-build")
endif()
