#include <curl/curl.h>
#include <openssl/crypto.h>

#include <cstring>

#include "clouds/cloud_cache.h"
#include "clouds/cloud_fetch.h"

namespace {

struct Transfer {
    const CloudFetchRequest* request = nullptr;
    CloudFetchResult* result = nullptr;
    bool tooLarge = false;
};

std::size_t TakeBody(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    std::vector<std::uint8_t>& body = transfer.result->body;
    if (body.size() + bytes > CloudMaxBytes) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    body.insert(body.end(), data, data + bytes);
    return bytes;
}

// The validators of the final response; those of a redirect before it are dropped.
std::size_t TakeHeader(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    std::string line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.compare(0, 5, "HTTP/") == 0) {
        transfer.result->etag.clear();
        transfer.result->lastModified.clear();
        transfer.result->body.clear();
        return bytes;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) return bytes;
    std::string name = line.substr(0, colon);
    for (char& c : name) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::size_t start = colon + 1;
    while (start < line.size() && line[start] == ' ') ++start;
    const std::string value = line.substr(start);
    if (name == "etag") transfer.result->etag = value;
    if (name == "last-modified") transfer.result->lastModified = value;
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const Transfer& transfer = *static_cast<const Transfer*>(user);
    const std::atomic<bool>* stop = transfer.request->stop;
    return stop != nullptr && stop->load() ? 1 : 0;  // nonzero abandons the transfer
}

struct CurlSetUp {
    CurlSetUp() {
        // OpenSSL would free its tables at exit while this thread may still be in a
        // handshake; a close must not crash on a transfer it abandons.
        OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
        curl_global_init(CURL_GLOBAL_DEFAULT);
    }
};

}  // namespace

CloudFetchResult TransferCloudImage(const CloudFetchRequest& request) {
    CloudFetchResult result;
    // Once per process, before the first handle; never undone, since a fetch may still
    // be running in a thread when the process ends.
    static CurlSetUp* setUp = new CurlSetUp;
    (void)setUp;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        result.problem = "libcurl could not start";
        return result;
    }
    Transfer transfer{&request, &result, false};
    const bool plain = request.url.compare(0, 7, "http://") == 0;
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, plain ? "http,https" : "https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, plain ? "http,https" : "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(request.connectSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(request.totalSeconds));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(CloudMaxBytes));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // a thread of its own: no SIGALRM
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, request.caFile.c_str());
    // The map is sent as it is; a compressed body could expand past any bound.
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &TakeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &TakeHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_slist* headers = nullptr;
    if (!request.etag.empty())
        headers = curl_slist_append(headers, ("If-None-Match: " + request.etag).c_str());
    if (!request.lastModified.empty())
        headers =
            curl_slist_append(headers, ("If-Modified-Since: " + request.lastModified).c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);

    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.problem = "the body is larger than 32 MiB";
    } else if (code != CURLE_OK) {
        result.problem = curl_easy_strerror(code);
    } else if (status == 304) {
        result.outcome = CloudFetchOutcome::NotModified;
    } else if (status == 200 && !result.body.empty()) {
        result.outcome = CloudFetchOutcome::Fetched;
        return result;
    } else {
        result.problem = "the server answered " + std::to_string(status);
    }
    result.body.clear();
    result.body.shrink_to_fit();
    return result;
}
