#pragma once
// The stand-in's small alert windows: one popup per shown alert, stacked above
// the bottom-right corner of the work area, as a tray notifier would show them.

#include "tray/alert_text.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A run's piece placed on a line, `x` pixels from the line's left edge.
struct AlertPiece {
    std::string text;
    bool bold = false;
    int line = 0;
    int x = 0;
};
// Pixel width of `text` in the normal or the bold font.
using AlertMeasure = std::function<int(const std::string& text, bool bold)>;
// Word-wraps the runs into lines `width` pixels wide. Words wider than a line
// are broken at its right edge; "\n" starts a new line.
std::vector<AlertPiece> layoutAlertRuns(const std::vector<AlertRun>& runs, int width,
                                        const AlertMeasure& measure);

// Opens the window for an alert in stacking slot `slot` (0 is the lowest). Its
// window text is the plain text; its body shows the text with <b> in bold.
HWND openAlertWindow(const std::string& markup, int slot);
// Moves an open window to stacking slot `slot`, as older alerts go away.
void placeAlertWindow(HWND window, int slot);
void closeAlertWindow(HWND window);
