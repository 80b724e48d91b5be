// Reading a dialog of another process as the user sees it: its controls in
// template order with their classes, texts, styles and places, and dialog
// units turned into pixels the way the system does for the dialog's font.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace e2e {

struct ControlInfo {
    HWND hwnd = nullptr;
    int id = 0;
    std::string cls;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{}; // in the dialog's client area
};

// The dialog's controls in the order it created them, which is the template's
// (and the tab) order.
std::vector<ControlInfo> controlsInOrder(HWND dialog);

// A window's text read with WM_GETTEXT, which reaches into another process.
std::string textOf(HWND window);

// A control's place given in dialog units of an 8-point "MS Sans Serif"
// dialog (position and size), as a rectangle in pixels. Wine's MapDialogRect
// does not reach into another process, so this maps on a hidden dialog of
// our own with that font.
RECT dialogUnitsToPixels(int x, int y, int cx, int cy);

} // namespace e2e

// Rectangles compared and printed in test messages; in the global namespace,
// RECT's own, so that GoogleTest finds them.
bool operator==(const RECT& a, const RECT& b);
std::ostream& operator<<(std::ostream& os, const RECT& r);
