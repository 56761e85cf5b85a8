#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/cache_files.h"

namespace {

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(),
                                           int(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), int(text.size()), &wide[0],
                        length);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.c_str(),
                                           int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.c_str(), int(wide.size()), &text[0],
                        length, nullptr, nullptr);
    return text;
}

}  // namespace

std::string CacheFolder() {
    wchar_t base[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    const std::wstring folder = std::wstring(base, length) + L"\\Solvane";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return std::string();
    }
    return Narrow(folder);
}

bool ReplaceFileWhole(const std::string& path, const void* data, std::size_t size) {
    const std::wstring target = Wide(path);
    if (target.empty() || size > 0xFFFFFFFFu) return false;
    wchar_t suffix[32];
    swprintf(suffix, 32, L".%lu.tmp", GetCurrentProcessId());
    const std::wstring temporary = target + suffix;
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, data, DWORD(size), &written, nullptr) && written == size &&
                       FlushFileBuffers(file);
    CloseHandle(file);
    if (!whole || !MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
