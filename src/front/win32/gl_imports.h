// The GL the saver draws with, from the system folder.
#pragma once

// Fills the saver's table of GL, GLU and WGL functions from opengl32.dll and
// glu32.dll of the system folder. Until it has, no GL may be called. Returns false
// when either library or one of the functions is missing.
bool LoadGlImports();
