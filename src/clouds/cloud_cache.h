// The last good cloud image and when it was fetched, kept in a cache folder so that a
// saver starting (which it does often) shows clouds at once and fetches only when due.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// An image this old (seconds) is due for a fetch; it is still shown however old it is.
constexpr std::int64_t CloudRefreshSeconds = 3 * 3600;
// Any process tries at most once in this many seconds, counted from the last try of any.
constexpr std::int64_t CloudRetrySeconds = 3600;
// A cached or fetched body beyond this many bytes is refused unread.
constexpr std::size_t CloudMaxBytes = 32u << 20;

struct CloudCacheState {
    std::int64_t fetchedAt = 0;  // seconds since 1970 UTC the cached image was confirmed; 0: none
    std::int64_t triedAt = 0;    // seconds since 1970 UTC any process last began a fetch; 0: never
    std::string etag;            // the server's ETag for the cached image, for If-None-Match
    std::string lastModified;    // its Last-Modified, for If-Modified-Since
};

// Whether a fetch is due at `now`: the image is older than CloudRefreshSeconds (or
// missing) and no try began in the last CloudRetrySeconds. A time in the future (a
// clock set back) counts as long ago, so a wrong clock cannot stop fetches for good.
bool CloudFetchDue(const CloudCacheState& state, std::int64_t now);

// The state as the text kept in the cache, and back. Unknown lines, bad numbers and
// validators with control characters are dropped when read.
std::string FormatCloudCacheState(const CloudCacheState& state);
CloudCacheState ParseCloudCacheState(const std::string& text);

// How old the kept image is, for the settings dialog: "Live clouds kept: fetched 5
// hours ago", or that none is kept. `fetchedAt` as in CloudCacheState.
std::string DescribeCloudAge(std::int64_t fetchedAt, std::int64_t now);

// The files "clouds.img" (the image's bytes as served) and "clouds.state" in `folder`.
// Each is replaced whole, so a process killed mid-write leaves the previous one.
class CloudCache {
  public:
    explicit CloudCache(std::string folder) : folder_(std::move(folder)) {}

    // The stored state; all zero and empty when none is stored or readable.
    CloudCacheState LoadState() const;
    bool StoreState(const CloudCacheState& state) const;

    // The stored image's bytes, or false when it is missing, empty or larger than
    // CloudMaxBytes. The caller judges them as any other download.
    bool LoadImage(std::vector<std::uint8_t>& bytes) const;

    // Decides whether this process fetches at `now` and, if so, records the try first,
    // so that the savers that start in the next hour do not fetch as well.
    bool ClaimFetch(std::int64_t now) const;

    // Keeps a validated image fetched at `now` with its validators.
    bool StoreImage(const std::vector<std::uint8_t>& bytes, std::int64_t now,
                    const std::string& etag, const std::string& lastModified) const;

    // Records that the server confirmed the cached image at `now` (304 Not Modified).
    bool ConfirmImage(std::int64_t now) const;

  private:
    std::string Path(const char* name) const;
    std::string folder_;
};
