#include "front/posix/cloud_options.h"

#include "front/posix/option_words.h"

bool IsCloudOption(const char* argument) {
    return IsOption(argument, "clouds") || IsOption(argument, "clouds-url");
}

bool TakeCloudOption(const char* argument, const char* value, CloudMode& mode, const char*& url,
                     char* error, std::size_t errorSize) {
    if (IsOption(argument, "clouds")) {
        if (ParseCloudMode(value, mode)) return true;
        WriteReason(error, errorSize, "%s '%s' is not none, still or live", argument, value);
        return false;
    }
    if (CloudUrlAllowed(value)) {
        url = value;
        return true;
    }
    WriteReason(error, errorSize, "%s '%s' is not an http or https URL", argument, value);
    return false;
}
