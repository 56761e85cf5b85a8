// The clouds of the Linux front ends: their two options and the start of the layer.
#pragma once

#include <cstddef>
#include <string>

#include "clouds/cloud_source.h"

// Whether `argument` ("-clouds", "--clouds-url", ...) is one of the cloud options,
// which take a value.
bool IsCloudOption(const char* argument);

// Takes the value of a cloud option: none, still or live for -clouds, an http or
// https URL for -clouds-url. False with a one-line reason in `error` otherwise.
bool TakeCloudOption(const char* argument, const char* value, CloudMode& mode, const char*& url,
                     char* error, std::size_t errorSize);

// The still map for `textureFolder`: clouds.png in it, beside it (where the build
// and the package put it), or the installed one; empty when there is none.
std::string FindStillClouds(const std::string& textureFolder);

// Starts the cloud layer after the scene: `url` null takes the default.
void StartFrontClouds(CloudMode mode, const char* url, const std::string& textureFolder);
