#include <errno.h>

#include <cstdio>

#include "platform/problem_report.h"

void ReportProblem(const char* text) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text);
}
