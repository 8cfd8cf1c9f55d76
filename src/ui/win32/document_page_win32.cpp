#include "ui/win32/document_page.h"
#include "base/trace.h"
#include "base/win32/module_instance.h"

#include <string>

namespace {

// The rich edit keeps its text away from the group box's edges and below its caption.
constexpr int kInsetSide = 10;
constexpr int kInsetTop = 20;
constexpr int kInsetBottom = 10;

int lastError() {
    return static_cast<int>(GetLastError());
}

// The version information block; its one owner frees it.
class LocalBlock {
public:
    explicit LocalBlock(DWORD size) : block_(LocalAlloc(LMEM_FIXED, size)) {}
    ~LocalBlock() {
        if (block_ != nullptr)
            LocalFree(block_);
    }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    void* get() const { return block_; }

private:
    HLOCAL block_;
};

} // namespace

HWND loadDocumentPage(HWND page, int frame_id, int resource_id, const DocumentTraces& traces) {
    RECT frame{};
    GetWindowRect(GetDlgItem(page, frame_id), &frame);
    POINT corners[2] = {{frame.left, frame.top}, {frame.right, frame.bottom}};
    ScreenToClient(page, &corners[0]);
    ScreenToClient(page, &corners[1]);
    const int left = corners[0].x + kInsetSide;
    const int top = corners[0].y + kInsetTop;
    const int right = corners[1].x - kInsetSide;
    const int bottom = corners[1].y - kInsetBottom;

    HWND document = CreateWindowExA(
        WS_EX_CLIENTEDGE, "RichEdit20A", "",
        // A tab stop, so that the keyboard reaches it and scrolls it with the arrow and page keys.
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
            ES_WANTRETURN,
        left, top, right - left, bottom - top, page, nullptr, module_instance, nullptr);
    if (document == nullptr) {
        DebugTrace(traces.create_failed, TRACE_TAG, lastError());
        return nullptr;
    }
    HRSRC found = FindResourceA(module_instance, MAKEINTRESOURCEA(resource_id), "RTF");
    if (found == nullptr) {
        DebugTrace(traces.not_found, TRACE_TAG, lastError());
        return document;
    }
    HGLOBAL loaded = LoadResource(module_instance, found);
    if (loaded == nullptr) {
        DebugTrace(traces.load_failed, TRACE_TAG, lastError());
        return document;
    }
    // The resource has no terminating zero: the control gets a copy of exactly
    // its bytes, so it never reads past the document's last "}".
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    if (bytes != nullptr) {
        const std::string text(bytes, SizeofResource(module_instance, found));
        SendMessageA(document, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    FreeResource(loaded);
    return document;
}

bool getProductVersion(const char* path, int& major, int& minor, int& third, int& fourth) {
    major = minor = third = fourth = 0;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return false;
    LocalBlock block(size);
    if (block.get() == nullptr)
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT info_size = 0;
    if (!GetFileVersionInfoA(path, 0, size, block.get()) ||
        !VerQueryValueA(block.get(), "\\", reinterpret_cast<void**>(&info), &info_size) || info == nullptr ||
        info_size < sizeof(VS_FIXEDFILEINFO))
        return false;
    major = HIWORD(info->dwProductVersionMS);
    minor = LOWORD(info->dwProductVersionMS);
    third = HIWORD(info->dwProductVersionLS);
    fourth = LOWORD(info->dwProductVersionLS);
    return true;
}
