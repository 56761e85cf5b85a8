// Host builds have no dialog: the picker answers from a queue that tests and tools
// fill beforehand.
#include <cstring>
#include <deque>
#include <string>

#include "platform/marker_picker.h"

namespace {
std::deque<std::string> answers;
}

void QueueMarkerPick(const char* path) {
    answers.emplace_back(path != nullptr ? path : "");
}

bool PickMarkerFile(char* out, std::size_t size) {
    if (out == nullptr || size == 0) return false;
    out[0] = '\0';
    if (answers.empty()) return false;
    const std::string answer = answers.front();
    answers.pop_front();
    // A path that does not fit is refused, as the dialog refuses a too-small buffer.
    if (answer.empty() || answer.size() >= size) return false;
    std::memcpy(out, answer.c_str(), answer.size() + 1);
    return true;
}

void ClearMarkerPicks() {
    answers.clear();
}
