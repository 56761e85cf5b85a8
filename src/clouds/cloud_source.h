// Where the cloud layer's picture comes from: nothing, the map that ships, or today's
// clouds kept in the cache and refreshed beside the frame loop. Front ends call
// StartClouds once at set-up, after the scene, and StopClouds when they end.
#pragma once

#include <cstdint>
#include <string>

#include "clouds/cloud_cache.h"
#include "clouds/cloud_fetch.h"

// NoClouds, not None: X11 has a macro of that name.
enum class CloudMode { NoClouds, Still, Live };

// The CC0 map rebuilt every three hours from EUMETSAT data; only fetched when the
// user chose Live.
constexpr char DefaultCloudUrl[] = "https://clouds.matteason.co.uk/images/4096x2048/clouds.jpg";
// The still map's file name, beside the texture folder.
constexpr char StillCloudFile[] = "clouds.png";

// "none", "still" or "live" (any case). False, leaving `mode`, for anything else.
bool ParseCloudMode(const char* word, CloudMode& mode);
// A stored number: 1 Still, 2 Live, anything else None.
CloudMode CloudModeFromNumber(std::int64_t number);

struct CloudSettings {
    CloudMode mode = CloudMode::NoClouds;
    std::string url = DefaultCloudUrl;
    std::string stillFile;    // the map that ships (Still)
    std::string cacheFolder;  // Live: the cache; empty: CacheFolder()
    bool mayFetch = true;     // false in preview and configuration: the cached image only
    std::string caFile;       // certificates to trust instead of the system's (tests)
    int checkSeconds = 60;    // how often the fetcher looks at the cache again
};

// Shows the still map or the cached image at once (decoded in the caller's thread,
// a tenth of a second), and for Live starts a fetcher thread that refreshes the cache
// when it is due. Returns at once after that. A StartClouds stops the previous
// fetcher first.
void StartClouds(const CloudSettings& settings);

// Asks the fetcher to stop and returns at once: a transfer under way is abandoned, and
// nothing half-written stays in the cache.
void StopClouds();

enum class CloudRefresh {
    NotDue,     // the cache is fresh, or another process tried within the hour
    Fetched,    // a new image, now kept and shown
    Confirmed,  // 304: the kept image is still the server's
    Refused,    // a body that is not an acceptable cloud map; the kept image stays
    Failed,     // no answer, an error status or a transfer cut short; the kept image stays
};

// One round of the fetcher at `now` (seconds since 1970 UTC): claims the try, fetches
// with the kept validators, judges and keeps the image. `problem` gets a phrase for
// Refused and Failed. Blocks for the transfer.
CloudRefresh RefreshClouds(const CloudCache& cache, CloudFetchRequest request, std::int64_t now,
                           std::string& problem);

// "Solvane/1.0.0 (screen saver; +clouds)": the User-Agent of every fetch.
std::string CloudUserAgent();
