#include "clouds/cloud_cache.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "platform/cache_files.h"

namespace {

// Longer validators are not kept: servers send a few dozen characters.
constexpr std::size_t MaxValidatorLength = 256;
constexpr std::size_t MaxStateBytes = 4096;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Reads the whole file when it holds at most `limit` bytes.
bool ReadWhole(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t count = std::fread(chunk, 1, sizeof chunk, file.get());
        if (count == 0) break;
        if (bytes.size() + count > limit) {
            bytes.clear();
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    return !std::ferror(file.get());
}

bool ValidValidator(const std::string& text) {
    if (text.size() > MaxValidatorLength) return false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return true;
}

bool ParseTime(const std::string& text, std::int64_t& value) {
    if (text.empty() || text.size() > 19) return false;
    std::int64_t result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    return true;
}

// How long ago `then` was at `now`; a moment in the future counts as never.
bool WithinSeconds(std::int64_t then, std::int64_t now, std::int64_t seconds) {
    return then > 0 && then <= now && now - then < seconds;
}

}  // namespace

bool CloudFetchDue(const CloudCacheState& state, std::int64_t now) {
    if (WithinSeconds(state.fetchedAt, now, CloudRefreshSeconds)) return false;
    return !WithinSeconds(state.triedAt, now, CloudRetrySeconds);
}

std::string DescribeCloudAge(std::int64_t fetchedAt, std::int64_t now) {
    if (fetchedAt <= 0) return "No live clouds kept yet.";
    const std::int64_t age = now - fetchedAt;
    if (age < 0) return "Live clouds kept: fetched at a time still to come (is the clock right?).";
    const auto count = [](std::int64_t n, const char* unit) {
        return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
    };
    const std::string ago = age < 3600    ? count(age / 60, "minute")
                            : age < 86400 ? count(age / 3600, "hour")
                                          : count(age / 86400, "day");
    return "Live clouds kept: fetched " + ago + " ago.";
}

std::string FormatCloudCacheState(const CloudCacheState& state) {
    std::ostringstream text;
    text << "fetched " << state.fetchedAt << "\ntried " << state.triedAt << "\n";
    if (!state.etag.empty() && ValidValidator(state.etag)) text << "etag " << state.etag << "\n";
    if (!state.lastModified.empty() && ValidValidator(state.lastModified)) {
        text << "modified " << state.lastModified << "\n";
    }
    return text.str();
}

CloudCacheState ParseCloudCacheState(const std::string& text) {
    CloudCacheState state;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const std::string key = line.substr(0, space);
        const std::string value = line.substr(space + 1);
        if (key == "fetched") {
            ParseTime(value, state.fetchedAt);
        } else if (key == "tried") {
            ParseTime(value, state.triedAt);
        } else if (key == "etag" && ValidValidator(value)) {
            state.etag = value;
        } else if (key == "modified" && ValidValidator(value)) {
            state.lastModified = value;
        }
    }
    return state;
}

std::string CloudCache::Path(const char* name) const {
    return folder_ + "/" + name;
}

CloudCacheState CloudCache::LoadState() const {
    std::vector<std::uint8_t> bytes;
    if (folder_.empty() || !ReadWhole(Path("clouds.state"), MaxStateBytes, bytes)) return {};
    return ParseCloudCacheState(std::string(bytes.begin(), bytes.end()));
}

bool CloudCache::StoreState(const CloudCacheState& state) const {
    if (folder_.empty()) return false;
    const std::string text = FormatCloudCacheState(state);
    return ReplaceFileWhole(Path("clouds.state"), text.data(), text.size());
}

bool CloudCache::LoadImage(std::vector<std::uint8_t>& bytes) const {
    if (folder_.empty() || !ReadWhole(Path("clouds.img"), CloudMaxBytes, bytes)) return false;
    return !bytes.empty();
}

bool CloudCache::ClaimFetch(std::int64_t now) const {
    CloudCacheState state = LoadState();
    if (!CloudFetchDue(state, now)) return false;
    state.triedAt = now;
    // Without a record of the try, every start would fetch: then do not fetch at all.
    return StoreState(state);
}

bool CloudCache::StoreImage(const std::vector<std::uint8_t>& bytes, std::int64_t now,
                            const std::string& etag, const std::string& lastModified) const {
    if (folder_.empty() || bytes.empty() || bytes.size() > CloudMaxBytes) return false;
    if (!ReplaceFileWhole(Path("clouds.img"), bytes.data(), bytes.size())) return false;
    CloudCacheState state = LoadState();
    state.fetchedAt = now;
    state.etag = ValidValidator(etag) ? etag : std::string();
    state.lastModified = ValidValidator(lastModified) ? lastModified : std::string();
    return StoreState(state);
}

bool CloudCache::ConfirmImage(std::int64_t now) const {
    CloudCacheState state = LoadState();
    state.fetchedAt = now;
    return StoreState(state);
}
