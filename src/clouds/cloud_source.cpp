#include "clouds/cloud_source.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

#include "clouds/cloud_decode.h"
#include "clouds/cloud_layer.h"
#include "platform/cache_files.h"
#include "platform/clock.h"
#include "platform/detached_thread.h"

#ifndef SOLVANE_VERSION_TEXT
#define SOLVANE_VERSION_TEXT "0"
#endif

namespace {

bool ReadBounded(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::uint8_t chunk[65536];
    std::size_t count = 0;
    bool fits = true;
    while (fits && (count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        fits = bytes.size() + count <= CloudMaxBytes;
        if (fits) bytes.insert(bytes.end(), chunk, chunk + count);
    }
    std::fclose(file);
    return fits && !bytes.empty();
}

bool ShowImage(const std::vector<std::uint8_t>& bytes) {
    CloudPicture texture;
    if (PrepareCloudTexture(bytes.data(), bytes.size(), texture) != CloudVerdict::Accepted)
        return false;
    SetCloudPicture(texture);
    return true;
}

// What the fetcher thread owns. Never freed: the process may end while it runs.
struct Fetcher {
    CloudSettings settings;
    std::atomic<bool> stop{false};
    std::int64_t shownFetchedAt = 0;
};
Fetcher* running = nullptr;

void RunFetcher(void* argument) {
    Fetcher& fetcher = *static_cast<Fetcher*>(argument);
    const CloudCache cache(fetcher.settings.cacheFolder);
    CloudFetchRequest request;
    request.url = fetcher.settings.url;
    request.userAgent = CloudUserAgent();
    request.caFile = fetcher.settings.caFile;
    request.stop = &fetcher.stop;
    while (!fetcher.stop.load()) {
        // Another saver may have refreshed the cache since this one looked.
        const CloudCacheState state = cache.LoadState();
        if (state.fetchedAt != fetcher.shownFetchedAt) {
            std::vector<std::uint8_t> bytes;
            if (cache.LoadImage(bytes) && ShowImage(bytes))
                fetcher.shownFetchedAt = state.fetchedAt;
        }
        std::string problem;
        const std::int64_t now = ReadCalendarTime();
        if (RefreshClouds(cache, request, now, problem) == CloudRefresh::Fetched)
            fetcher.shownFetchedAt = cache.LoadState().fetchedAt;
        for (int slice = 0; slice < fetcher.settings.checkSeconds && !fetcher.stop.load(); ++slice)
            SleepMilliseconds(1000);
    }
}

}  // namespace

std::string CloudUserAgent() {
    return std::string("Solvane/") + SOLVANE_VERSION_TEXT + " (screen saver; cloud layer)";
}

CloudRefresh RefreshClouds(const CloudCache& cache, CloudFetchRequest request, std::int64_t now,
                           std::string& problem) {
    problem.clear();
    // Asked every minute: the image is read only when a fetch is due.
    if (!CloudFetchDue(cache.LoadState(), now)) return CloudRefresh::NotDue;
    std::vector<std::uint8_t> kept;
    const bool haveImage = cache.LoadImage(kept);
    kept = std::vector<std::uint8_t>();
    if (!cache.ClaimFetch(now)) return CloudRefresh::NotDue;
    // Without an image of ours, a 304 would leave nothing to show: ask for it whole.
    const CloudCacheState state = cache.LoadState();
    request.etag = haveImage ? state.etag : std::string();
    request.lastModified = haveImage ? state.lastModified : std::string();
    CloudFetchResult result = FetchCloudImage(request);
    if (request.stop != nullptr && request.stop->load()) {
        problem = "stopped";
        return CloudRefresh::Failed;
    }
    switch (result.outcome) {
        case CloudFetchOutcome::NotModified:
            if (!haveImage) {
                problem = "304 without a kept image";
                return CloudRefresh::Failed;
            }
            cache.ConfirmImage(now);
            return CloudRefresh::Confirmed;
        case CloudFetchOutcome::Fetched: {
            CloudPicture texture;
            const CloudVerdict verdict =
                PrepareCloudTexture(result.body.data(), result.body.size(), texture);
            if (verdict != CloudVerdict::Accepted) {
                problem = DescribeCloudVerdict(verdict);
                return CloudRefresh::Refused;
            }
            if (request.stop != nullptr && request.stop->load()) {
                problem = "stopped";
                return CloudRefresh::Failed;
            }
            cache.StoreImage(result.body, now, result.etag, result.lastModified);
            SetCloudPicture(texture);
            return CloudRefresh::Fetched;
        }
        case CloudFetchOutcome::Failed:
            break;
    }
    problem = result.problem;
    return CloudRefresh::Failed;
}

void StartClouds(const CloudSettings& settings) {
    StopClouds();
    std::vector<std::uint8_t> bytes;
    if (settings.mode == CloudMode::NoClouds) {
        SetCloudPicture(CloudPicture());
        return;
    }
    if (settings.mode == CloudMode::Still) {
        if (!ReadBounded(settings.stillFile, bytes) || !ShowImage(bytes))
            SetCloudPicture(CloudPicture());
        return;
    }
    auto fetcher = std::make_unique<Fetcher>();
    fetcher->settings = settings;
    if (fetcher->settings.cacheFolder.empty()) fetcher->settings.cacheFolder = CacheFolder();
    const CloudCache cache(fetcher->settings.cacheFolder);
    if (cache.LoadImage(bytes) && ShowImage(bytes))
        fetcher->shownFetchedAt = cache.LoadState().fetchedAt;
    else
        SetCloudPicture(CloudPicture());
    if (!settings.mayFetch || fetcher->settings.cacheFolder.empty() ||
        !CloudUrlAllowed(settings.url))
        return;
    if (RunDetached(&RunFetcher, fetcher.get())) running = fetcher.release();
}

void StopClouds() {
    // The fetcher's record stays: its thread may still be reading it.
    if (running != nullptr) running->stop.store(true);
    running = nullptr;
}
