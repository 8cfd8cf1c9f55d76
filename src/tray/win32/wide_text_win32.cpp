#include "tray/win32/wide_text.h"

#include <windows.h>

#include <vector>

std::wstring wideFromUtf8(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

namespace {

std::string narrow(const std::wstring& text, UINT code_page, BOOL* lossy) {
    const DWORD flags = code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(code_page, flags, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, lossy);
    std::string narrowed(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(code_page, flags, text.data(), static_cast<int>(text.size()), &narrowed[0],
                            length, nullptr, lossy);
    return narrowed;
}

} // namespace

std::string utf8FromWide(const std::wstring& text) {
    return narrow(text, CP_UTF8, nullptr);
}

std::string ansiPath(const std::wstring& path) {
    BOOL lossy = FALSE;
    std::string ansi = narrow(path, CP_ACP, &lossy);
    if (!lossy)
        return ansi;
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::vector<wchar_t> short_path(length > 0 ? length : 1, L'\0');
    if (length == 0 || GetShortPathNameW(path.c_str(), short_path.data(), length) >= length)
        return std::string();
    lossy = FALSE;
    ansi = narrow(short_path.data(), CP_ACP, &lossy);
    return lossy ? std::string() : ansi;
}
