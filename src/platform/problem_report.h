// Tells whoever watches that something the user provided cannot be used, where the
// program carries on without it.
#pragma once

// One line, `text` without a line end. Host builds write it to standard error after
// the program's name. The Windows saver, which has no console and which nobody may be
// watching, shows no box that would stop it mid-run: it writes the line to its
// standard error when it was started with one, and to a debugger attached to it.
void ReportProblem(const char* text);
