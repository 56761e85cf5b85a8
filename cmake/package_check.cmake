# Read by cpack before it packs: stops with a clear message when the default texture
# folder is incomplete, rather than shipping a saver that asks for a folder it lacks.
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
