// One download of a cloud map. Each platform has its own (libcurl elsewhere, WinHTTP
// on Windows); all of them keep to the same bounds, because the server is nobody's
// we control.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct CloudFetchRequest {
    std::string url;           // http or https only
    std::string etag;          // sent as If-None-Match when not empty
    std::string lastModified;  // sent as If-Modified-Since when not empty
    std::string userAgent;
    // Certificates to trust instead of the system's store (tests); empty: the system's.
    std::string caFile;
    int connectSeconds = 10;
    int totalSeconds = 60;  // the whole transfer, a slow server included
    // Set from another thread to abandon the transfer at once; may be null.
    const std::atomic<bool>* stop = nullptr;
};

enum class CloudFetchOutcome {
    Fetched,      // 200 with a body of at most CloudMaxBytes
    NotModified,  // 304: the cached image is still the server's
    Failed,       // anything else; `problem` says what
};

struct CloudFetchResult {
    CloudFetchOutcome outcome = CloudFetchOutcome::Failed;
    std::vector<std::uint8_t> body;
    std::string etag;
    std::string lastModified;
    std::string problem;
};

// Follows at most three redirects, and only to https, or to http when `url` is
// http. Never reads more than CloudMaxBytes of a body. Blocks: call it beside the
// frame loop.
CloudFetchResult FetchCloudImage(const CloudFetchRequest& request);

// The platform's transfer (libcurl, or WinHTTP on Windows), for an address that
// CloudUrlAllowed let through; the rules of FetchCloudImage.
CloudFetchResult TransferCloudImage(const CloudFetchRequest& request);

// Whether `url` may be fetched at all: http:// or https:// with a host, printable
// ASCII without spaces, at most 2000 characters.
bool CloudUrlAllowed(const std::string& url);
