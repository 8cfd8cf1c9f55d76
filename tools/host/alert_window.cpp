#include "alert_window.h"
#include "tray/win32/window_class.h"

#include <algorithm>
#include <memory>

namespace {

constexpr char kClassName[] = "TarnwickHostAlert";
constexpr int kWidth = 360;
constexpr int kHeight = 86;
constexpr int kGap = 8;

// A word or a stretch of blanks, as pieces of runs, or a forced line break.
struct Token {
    enum Kind { Word, Blank, Break } kind;
    std::vector<AlertRun> parts;
};

std::vector<Token> tokenize(const std::vector<AlertRun>& runs) {
    std::vector<Token> tokens;
    for (const AlertRun& run : runs) {
        for (char c : run.text) {
            if (c == '\r')
                continue;
            if (c == '\n') {
                tokens.push_back(Token{Token::Break, {}});
                continue;
            }
            const bool blank = c == ' ' || c == '\t';
            const Token::Kind kind = blank ? Token::Blank : Token::Word;
            if (tokens.empty() || tokens.back().kind != kind)
                tokens.push_back(Token{kind, {}});
            auto& parts = tokens.back().parts;
            if (parts.empty() || parts.back().bold != run.bold)
                parts.push_back(AlertRun{std::string(), run.bold});
            // A tab drawn by TextOut is a box, not a gap.
            parts.back().text += blank ? ' ' : c;
        }
    }
    return tokens;
}

class LineFiller {
public:
    LineFiller(int width, const AlertMeasure& measure) : width_(width), measure_(measure) {}

    int widthOf(const std::vector<AlertRun>& parts) const {
        int total = 0;
        for (const AlertRun& part : parts)
            total += measure_(part.text, part.bold);
        return total;
    }

    void newLine() {
        ++line_;
        x_ = 0;
    }

    // Places the parts from the current position, breaking a part at the right
    // edge where it does not fit.
    void place(const std::vector<AlertRun>& parts) {
        for (const AlertRun& part : parts) {
            std::string rest = part.text;
            while (!rest.empty()) {
                const int room = width_ - x_;
                const int whole = measure_(rest, part.bold);
                if (whole <= room) {
                    append(rest, part.bold, whole);
                    break;
                }
                size_t fits = longestFit(rest, part.bold, room);
                if (fits == 0 && x_ > 0) {
                    newLine();
                    continue;
                }
                // At least one character a line, so a too narrow body still ends.
                fits = std::max<size_t>(fits, 1);
                const std::string head = rest.substr(0, fits);
                append(head, part.bold, measure_(head, part.bold));
                rest.erase(0, fits);
                newLine();
            }
        }
    }

    int x() const { return x_; }
    std::vector<AlertPiece> take() { return std::move(pieces_); }

private:
    size_t longestFit(const std::string& text, bool bold, int room) const {
        size_t low = 0, high = text.size();
        while (low < high) {
            const size_t middle = (low + high + 1) / 2;
            if (measure_(text.substr(0, middle), bold) <= room)
                low = middle;
            else
                high = middle - 1;
        }
        return low;
    }

    void append(const std::string& text, bool bold, int width) {
        if (!pieces_.empty() && pieces_.back().line == line_ && pieces_.back().bold == bold)
            pieces_.back().text += text;
        else
            pieces_.push_back(AlertPiece{text, bold, line_, x_});
        x_ += width;
    }

    int width_;
    const AlertMeasure& measure_;
    int line_ = 0;
    int x_ = 0;
    std::vector<AlertPiece> pieces_;
};

// The runs a window owns from WM_NCCREATE to WM_NCDESTROY.
std::vector<AlertRun>* windowRuns(HWND window) {
    return reinterpret_cast<std::vector<AlertRun>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void paintBody(HDC dc, const RECT& body, const std::vector<AlertRun>& runs) {
    HFONT normal = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description{};
    GetObjectA(normal, sizeof description, &description);
    description.lfWeight = FW_BOLD;
    HFONT created = CreateFontIndirectA(&description);
    HFONT bold = created != nullptr ? created : normal;

    HGDIOBJ old_font = SelectObject(dc, normal);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int ascent = metrics.tmAscent;
    int descent = metrics.tmDescent;
    SelectObject(dc, bold);
    GetTextMetricsA(dc, &metrics);
    ascent = std::max<int>(ascent, metrics.tmAscent);
    descent = std::max<int>(descent, metrics.tmDescent);
    const int line_height = ascent + descent;

    const AlertMeasure measure = [&](const std::string& text, bool is_bold) {
        SelectObject(dc, is_bold ? bold : normal);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::vector<AlertPiece> pieces = layoutAlertRuns(runs, body.right - body.left, measure);

    // Both weights share a baseline, should their ascents differ.
    const UINT old_align = SetTextAlign(dc, TA_LEFT | TA_BASELINE);
    const int visible_lines = line_height > 0 ? (body.bottom - body.top) / line_height : 0;
    for (const AlertPiece& piece : pieces) {
        if (piece.line >= visible_lines)
            break;
        SelectObject(dc, piece.bold ? bold : normal);
        ExtTextOutA(dc, body.left + piece.x, body.top + piece.line * line_height + ascent, ETO_CLIPPED, &body,
                    piece.text.data(), static_cast<UINT>(piece.text.size()), nullptr);
    }
    SetTextAlign(dc, old_align);
    SelectObject(dc, old_font);
    if (created != nullptr)
        DeleteObject(created);
}

LRESULT CALLBACK alertProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* markup =
            static_cast<const std::string*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        auto runs = std::make_unique<std::vector<AlertRun>>(alertRuns(*markup));
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(runs.release()));
    } else if (message == WM_NCDESTROY) {
        delete windowRuns(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    } else if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        HBRUSH band = CreateSolidBrush(RGB(31, 78, 121));
        RECT title = {area.left, area.top, area.right, area.top + 22};
        FillRect(dc, &title, band);
        DeleteObject(band);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, RGB(255, 255, 255));
        RECT title_text = {title.left + 8, title.top, title.right - 8, title.bottom};
        DrawTextA(dc, "Tarnwick", -1, &title_text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        SelectObject(dc, old_font);
        SetTextColor(dc, RGB(0, 0, 0));
        const RECT body = {area.left + 8, title.bottom + 6, area.right - 8, area.bottom - 6};
        if (const std::vector<AlertRun>* runs = windowRuns(window))
            paintBody(dc, body, *runs);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

std::vector<AlertPiece> layoutAlertRuns(const std::vector<AlertRun>& runs, int width,
                                        const AlertMeasure& measure) {
    LineFiller filler(width, measure);
    std::vector<AlertRun> blanks;
    for (const Token& token : tokenize(runs)) {
        switch (token.kind) {
        case Token::Break:
            filler.newLine();
            blanks.clear();
            break;
        case Token::Blank:
            blanks = token.parts;
            break;
        case Token::Word:
            // Blanks at a wrap vanish; those after a forced break or at the start stay.
            if (filler.x() > 0 && filler.x() + filler.widthOf(blanks) + filler.widthOf(token.parts) > width)
                filler.newLine();
            else
                filler.place(blanks);
            blanks.clear();
            filler.place(token.parts);
            break;
        }
    }
    return filler.take();
}

namespace {
POINT slotPosition(int slot) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.right - kWidth - kGap, work.bottom - (kHeight + kGap) * (slot + 1)};
}
} // namespace

void placeAlertWindow(HWND window, int slot) {
    const POINT at = slotPosition(slot);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND openAlertWindow(const std::string& markup, int slot) {
    if (!ensureWindowClass(kClassName, alertProcedure, COLOR_INFOBK))
        return nullptr;
    const POINT at = slotPosition(slot);
    // The window makes its own runs from the markup while it is being created.
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, plainAlertText(markup).c_str(),
                        WS_POPUP | WS_BORDER, at.x, at.y, kWidth, kHeight, nullptr, nullptr,
                        GetModuleHandleA(nullptr), const_cast<std::string*>(&markup));
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    return window;
}

void closeAlertWindow(HWND window) {
    if (window != nullptr)
        DestroyWindow(window);
}
