// The words of the cloud settings, apart from the fetcher, so that the option parsers
// and their fuzzers take only these.
#include "clouds/cloud_fetch.h"
#include "clouds/cloud_source.h"

namespace {
constexpr std::size_t MaxUrlLength = 2000;
}  // namespace

bool CloudUrlAllowed(const std::string& url) {
    if (url.size() > MaxUrlLength) return false;
    for (const char c : url)
        if (c <= ' ' || c > '~') return false;
    const std::size_t scheme = url.compare(0, 7, "http://") == 0    ? 7
                               : url.compare(0, 8, "https://") == 0 ? 8
                                                                    : 0;
    return scheme != 0 && url.size() > scheme && url[scheme] != '/';
}

bool ParseCloudMode(const char* word, CloudMode& mode) {
    if (word == nullptr) return false;
    std::string lower(word);
    for (char& c : lower) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "none") {
        mode = CloudMode::NoClouds;
    } else if (lower == "still") {
        mode = CloudMode::Still;
    } else if (lower == "live") {
        mode = CloudMode::Live;
    } else {
        return false;
    }
    return true;
}

CloudMode CloudModeFromNumber(std::int64_t number) {
    return number == 1 ? CloudMode::Still : number == 2 ? CloudMode::Live : CloudMode::NoClouds;
}
