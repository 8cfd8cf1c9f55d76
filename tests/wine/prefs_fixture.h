#pragma once
// The plug-in's preferences window in the stand-in's preferences window: shows
// it, finds its pages by the controls they hold, and reads back what Apply saved.

#include "config/ini_document.h"
#include "config/settings_file.h"
#include "prefs_frame.h"
#include "session_fixture.h"

#include <commctrl.h>

#include <functional>

// A list's rows, the texts of its first `columns` columns joined by "|".
inline std::vector<std::string> listRows(HWND list, int columns) {
    std::vector<std::string> rows;
    for (int row = 0; row < static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            char text[1024] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            line += (column ? "|" : "") + std::string(text);
        }
        rows.push_back(line);
    }
    return rows;
}

class PrefsTest : public SessionTest {
protected:
    // Load and start with the given settings and shares, then show the window.
    void open(const std::string& settings_lines, const std::string& sources_lines,
              const std::string& shares = "") {
        writeSettings(settings_lines, sources_lines);
        ASSERT_TRUE(data_.write(shares));
        loadAndStart();
        show(1, 12, 34);
        ASSERT_NE(window(), nullptr);
    }

    // Shows or hides; keeps the window the plug-in announces when it makes one.
    int show(int flag, int x, int y, host::PrefsShowRecord* record = nullptr) {
        const size_t before = hoststub::requestsNamed("dialogAdd").size();
        const int result = hoststub::sendPrefsShow(flag, "Tarnwick", hostPreferencesWindow(), x, y, record);
        const auto added = hoststub::requestsNamed("dialogAdd");
        if (added.size() > before)
            window_ = added.back().window;
        return result;
    }

    HWND window() const { return window_; }
    HWND tabs() const { return GetDlgItem(window_, 1031); }

    // The pages lie over the tab control, their sibling; each is known by a control it holds.
    std::vector<HWND> pages() const {
        std::vector<HWND> found;
        for (HWND child = GetWindow(window_, GW_CHILD); child != tabs();
             child = GetWindow(child, GW_HWNDNEXT))
            found.push_back(child);
        return found;
    }
    HWND pageWith(int control) const {
        for (HWND page : pages()) {
            if (GetDlgItem(page, control) != nullptr)
                return page;
        }
        return nullptr;
    }
    HWND general() const { return pageWith(1019); }
    HWND sources() const { return pageWith(1036); }
    HWND events() const { return pageWith(1003); }
    std::vector<HWND> visiblePages() const {
        std::vector<HWND> visible;
        for (HWND page : pages()) {
            if (IsWindowVisible(page))
                visible.push_back(page);
        }
        return visible;
    }

    static void click(HWND page, int id) {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    // A check box or radio clicked by the user: its state changes, then the page hears of it.
    static void toggle(HWND page, int id) { SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }
    static std::string text(HWND page, int id) {
        char buffer[4096] = {};
        GetDlgItemTextA(page, id, buffer, sizeof buffer);
        return buffer;
    }

    // The Sources list as "name|path|state image" rows.
    std::vector<std::string> sourceRows() const {
        HWND list = GetDlgItem(sources(), 1036);
        std::vector<std::string> rows = listRows(list, 2);
        for (size_t row = 0; row < rows.size(); ++row) {
            const auto state =
                static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
            rows[row] += "|" + std::to_string(state >> 12);
        }
        return rows;
    }

    // The settings as the last Apply or OK saved them.
    PluginSettings saved() const {
        TextIniReader reader(readFile(iniPath()));
        return readSettings(reader);
    }

    static std::string shareRows(const std::vector<std::pair<std::string, std::string>>& shares) {
        std::string text;
        for (const auto& share : shares)
            text += "row Win32_Share\nName str " + share.first + "\nPath str " + share.second + "\n";
        return text;
    }

private:
    HWND window_ = nullptr;
};

// A viewer's list headers: the image of each of the first `columns` (0 up, 1 down, 2 none).
inline std::vector<int> headerImages(HWND list, int columns) {
    std::vector<int> images;
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNA format{};
        format.mask = LVCF_IMAGE;
        SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&format));
        images.push_back(format.iImage);
    }
    return images;
}

// A click on a header of the dialog's list `list_id`, as the list reports it.
inline void clickHeader(HWND dialog, int list_id, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = GetDlgItem(dialog, list_id);
    click.hdr.idFrom = static_cast<UINT_PTR>(list_id);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(dialog, WM_NOTIFY, static_cast<WPARAM>(list_id), reinterpret_cast<LPARAM>(&click));
}

// Acts on a modal window of this process from a second thread, since the window
// blocks the test's: waits for the window with `caption`, then runs `act` on it
// until `act` says it is done (it closes the window itself).
class ModalDriver {
public:
    ModalDriver(const char* caption, std::function<bool(HWND)> act)
        : caption_(caption), act_(std::move(act)) {
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~ModalDriver() { finish(); }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Waits for the driver's thread; true when it found the window and acted.
    bool finish() {
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, 20000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return done_;
    }

private:
    // This process's window, once shown (a modal dialog shows itself after its
    // initialisation): tests run side by side, each with its own.
    HWND ownWindow() const {
        for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, caption_); window != nullptr;
             window = FindWindowExA(nullptr, window, nullptr, caption_)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window))
                return window;
        }
        return nullptr;
    }

    static DWORD WINAPI run(void* self_pointer) {
        auto* self = static_cast<ModalDriver*>(self_pointer);
        for (int attempt = 0; attempt < 500 && !self->done_; ++attempt) {
            HWND window = self->ownWindow();
            if (window != nullptr && self->act_(window))
                self->done_ = true;
            else
                Sleep(20);
        }
        return 0;
    }

    const char* caption_;
    std::function<bool(HWND)> act_;
    bool done_ = false;
    HANDLE thread_ = nullptr;
};
