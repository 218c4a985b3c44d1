// Controls placed in twips and drawn in the program's Gothic, laid out again
// whenever the window's monitor changes its dots per inch.
#pragma once

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include <windows.h>

#include "app/form/layout.h"

namespace wordpour::win32 {

using form::FontStyle;
using form::TwipsRect;

class TwipsLayout {
public:
    TwipsLayout() = default;
    TwipsLayout(const TwipsLayout&) = delete;
    TwipsLayout& operator=(const TwipsLayout&) = delete;
    ~TwipsLayout();

    // Places `control` at `rect` in the font, now and at every later DPI.
    void place(HWND control, TwipsRect rect, std::optional<FontStyle> font);
    // A picture shown at its natural size: only its corner is in twips.
    void placeAtNaturalSize(HWND control, int left, int top, SIZE pixels);

    // Lays every control out again at `dpi`, with fonts made for it.
    void apply(UINT dpi);
    UINT dpi() const { return dpi_; }

    // Handles WM_DPICHANGED for `window`: takes the size the system suggests
    // and lays the controls out at the new DPI.
    void dpiChanged(HWND window, WPARAM wParam, LPARAM lParam);

private:
    struct Entry {
        HWND control;
        TwipsRect rect;
        std::optional<SIZE> naturalSize;
        std::optional<FontStyle> font;
    };
    HFONT font(const FontStyle& style);
    void place(const Entry& entry);

    UINT dpi_ = 0;
    std::vector<Entry> entries_;
    std::map<FontStyle, HFONT> fonts_;  // at dpi_
};

}  // namespace wordpour::win32
