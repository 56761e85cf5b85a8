// The end of GL for a front end whose context is still current.
#pragma once

// Deletes what the frame step keeps in the current context (ReleaseGlObjects), waits
// for the GL to finish, and reports each GL error the run left on stderr, after
// `program` and a colon. Returns 1 when there was one, else 0. The caller then lets
// the context go.
int EndGl(const char* program);
