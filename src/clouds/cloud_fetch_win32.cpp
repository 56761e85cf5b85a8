// Windows fetches with WinHTTP, which never shows a dialog (WinINet can), checks
// certificates against the system's store, and is loaded from the system folder at
// run time, so the import table stays as it is.
#include <windows.h>
#include <winhttp.h>

#include <string>

#include "clouds/cloud_cache.h"
#include "clouds/cloud_fetch.h"
#include "platform/system_library.h"

namespace {

struct WinHttp {
    decltype(&WinHttpOpen) open = nullptr;
    decltype(&WinHttpCrackUrl) crackUrl = nullptr;
    decltype(&WinHttpConnect) connect = nullptr;
    decltype(&WinHttpOpenRequest) openRequest = nullptr;
    decltype(&WinHttpSetOption) setOption = nullptr;
    decltype(&WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&WinHttpSendRequest) sendRequest = nullptr;
    decltype(&WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&WinHttpQueryDataAvailable) queryDataAvailable = nullptr;
    decltype(&WinHttpReadData) readData = nullptr;
    decltype(&WinHttpCloseHandle) closeHandle = nullptr;
    bool loaded = false;
};

template <typename Function>
void Find(HMODULE library, const char* name, Function& function) {
    // GetProcAddress hands every export back as one type.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const WinHttp& Library() {
    static const WinHttp library = [] {
        WinHttp w;
        HMODULE module = LoadSystemLibrary("winhttp.dll");
        if (module == nullptr) return w;
        Find(module, "WinHttpOpen", w.open);
        Find(module, "WinHttpCrackUrl", w.crackUrl);
        Find(module, "WinHttpConnect", w.connect);
        Find(module, "WinHttpOpenRequest", w.openRequest);
        Find(module, "WinHttpSetOption", w.setOption);
        Find(module, "WinHttpSetTimeouts", w.setTimeouts);
        Find(module, "WinHttpSendRequest", w.sendRequest);
        Find(module, "WinHttpReceiveResponse", w.receiveResponse);
        Find(module, "WinHttpQueryHeaders", w.queryHeaders);
        Find(module, "WinHttpQueryDataAvailable", w.queryDataAvailable);
        Find(module, "WinHttpReadData", w.readData);
        Find(module, "WinHttpCloseHandle", w.closeHandle);
        w.loaded = w.open && w.crackUrl && w.connect && w.openRequest && w.setOption &&
                   w.setTimeouts && w.sendRequest && w.receiveResponse && w.queryHeaders &&
                   w.queryDataAvailable && w.readData && w.closeHandle;
        return w;
    }();
    return library;
}

struct Handle {
    HINTERNET h = nullptr;
    ~Handle() {
        if (h != nullptr) Library().closeHandle(h);
    }
};

// The URL is printable ASCII (CloudUrlAllowed), so widening each byte is exact.
std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const wchar_t* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length && text[i] != 0; ++i)
        out.push_back(text[i] < 0x80 ? char(text[i]) : '?');
    return out;
}

std::string TextHeader(HINTERNET request, DWORD which) {
    wchar_t buffer[512];
    DWORD size = sizeof buffer;
    if (!Library().queryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, buffer, &size,
                                WINHTTP_NO_HEADER_INDEX))
        return std::string();
    return Narrow(buffer, size / sizeof(wchar_t));
}

std::string Failure(const char* what) {
    return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

CloudFetchResult TransferCloudImage(const CloudFetchRequest& request) {
    CloudFetchResult result;
    const WinHttp& w = Library();
    if (!w.loaded) {
        result.problem = "winhttp.dll is not in the system folder";
        return result;
    }
    const std::wstring url = Wide(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = DWORD(-1);
    parts.dwUrlPathLength = DWORD(-1);
    parts.dwExtraInfoLength = DWORD(-1);
    if (!w.crackUrl(url.c_str(), DWORD(url.size()), 0, &parts)) {
        result.problem = Failure("the address cannot be read");
        return result;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    const DWORD start = GetTickCount();
    const DWORD whole = DWORD(request.totalSeconds) * 1000;
    Handle session, connection, call;
    session.h = w.open(Wide(request.userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session.h == nullptr) {
        result.problem = Failure("WinHTTP could not start");
        return result;
    }
    w.setTimeouts(session.h, int(whole), request.connectSeconds * 1000, int(whole), int(whole));
    connection.h = w.connect(session.h, host.c_str(), parts.nPort, 0);
    call.h = connection.h == nullptr
                 ? nullptr
                 : w.openRequest(connection.h, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                 WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
    if (call.h == nullptr) {
        result.problem = Failure("no request could be made");
        return result;
    }
    // Never from https down to http; at most three redirects.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    w.setOption(call.h, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    DWORD hops = 3;
    w.setOption(call.h, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &hops, sizeof hops);
    std::wstring headers;
    if (!request.etag.empty()) headers += L"If-None-Match: " + Wide(request.etag) + L"\r\n";
    if (!request.lastModified.empty())
        headers += L"If-Modified-Since: " + Wide(request.lastModified) + L"\r\n";
    if (!w.sendRequest(call.h, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                       headers.empty() ? 0 : DWORD(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !w.receiveResponse(call.h, nullptr)) {
        result.problem = Failure("no answer");
        return result;
    }
    DWORD status = 0, size = sizeof status;
    w.queryHeaders(call.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                   WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    // A redirect the policy or the count refuses ends here, with the redirect itself.
    if (status == 304) {
        result.outcome = CloudFetchOutcome::NotModified;
        return result;
    }
    if (status != 200) {
        result.problem = "the server answered " + std::to_string(status);
        return result;
    }
    DWORD length = 0;
    size = sizeof length;
    if (w.queryHeaders(call.h, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                       WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX) &&
        length > CloudMaxBytes) {
        result.problem = "the body is larger than 32 MiB";
        return result;
    }
    result.etag = TextHeader(call.h, WINHTTP_QUERY_ETAG);
    result.lastModified = TextHeader(call.h, WINHTTP_QUERY_LAST_MODIFIED);
    std::vector<std::uint8_t>& body = result.body;
    for (;;) {
        if (request.stop != nullptr && request.stop->load()) {
            result.problem = "stopped";
            break;
        }
        if (GetTickCount() - start > whole) {
            result.problem = "the transfer took longer than its time";
            break;
        }
        DWORD available = 0;
        if (!w.queryDataAvailable(call.h, &available)) {
            result.problem = Failure("the transfer broke off");
            break;
        }
        if (available == 0) {
            // The end; a body shorter than its Content-Length is a broken transfer.
            if (length != 0 && body.size() != length) result.problem = "the body was cut short";
            if (body.empty()) result.problem = "an empty body";
            if (result.problem.empty()) result.outcome = CloudFetchOutcome::Fetched;
            break;
        }
        if (body.size() + available > CloudMaxBytes) {
            result.problem = "the body is larger than 32 MiB";
            break;
        }
        const std::size_t at = body.size();
        body.resize(at + available);
        DWORD read = 0;
        if (!w.readData(call.h, body.data() + at, available, &read)) {
            result.problem = Failure("the transfer broke off");
            break;
        }
        body.resize(at + read);
    }
    if (result.outcome != CloudFetchOutcome::Fetched) {
        body.clear();
        body.shrink_to_fit();
    }
    return result;
}
