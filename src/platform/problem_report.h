// Tells whoever watches that something the user provided cannot be used, where the
// program carries on without it.
#pragma once

// One line, `text` without a line end. Host builds write it to standard error after
// the program's name. The Windows saver, which has no console and which nobody may be
// watching, shows no box that would stop it mid-run: it passes the line to a debugger
// (OutputDebugString, which tools such as DebugView show) and to its standard error
// when it was started with one.
void ReportProblem(const char* text);
