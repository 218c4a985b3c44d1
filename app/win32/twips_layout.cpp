#include "app/win32/twips_layout.h"

#include "app/win32/win_text.h"

namespace wordpour::win32 {

TwipsLayout::~TwipsLayout() {
    for (const auto& [style, handle] : fonts_) DeleteObject(handle);
}

void TwipsLayout::place(HWND control, TwipsRect rect, std::optional<FontStyle> font) {
    if (dpi_ == 0) dpi_ = dpiOf(GetParent(control));
    entries_.push_back({control, rect, std::nullopt, font});
    place(entries_.back());
}

void TwipsLayout::placeAtNaturalSize(HWND control, int left, int top, SIZE pixels) {
    if (dpi_ == 0) dpi_ = dpiOf(GetParent(control));
    entries_.push_back({control, {left, top, 0, 0}, pixels, std::nullopt});
    place(entries_.back());
}

HFONT TwipsLayout::font(const FontStyle& style) {
    auto found = fonts_.find(style);
    if (found == fonts_.end())
        found = fonts_.emplace(style, gothicFont(style.points, style.bold, dpi_, style.underline))
                    .first;
    return found->second;
}

void TwipsLayout::place(const Entry& entry) {
    const TwipsRect& r = entry.rect;
    if (entry.naturalSize)
        MoveWindow(entry.control, px(r.left, dpi_), px(r.top, dpi_), entry.naturalSize->cx,
                   entry.naturalSize->cy, TRUE);
    else
        placeTwips(entry.control, r.left, r.top, r.width, r.height, dpi_);
    if (entry.font)
        SendMessageW(entry.control, WM_SETFONT, reinterpret_cast<WPARAM>(font(*entry.font)), TRUE);
}

void TwipsLayout::apply(UINT dpi) {
    if (dpi == dpi_ || dpi == 0) return;
    // The controls take the new fonts before the old ones are deleted.
    std::map<FontStyle, HFONT> old;
    old.swap(fonts_);
    dpi_ = dpi;
    for (const Entry& entry : entries_) place(entry);
    for (const auto& [style, handle] : old) DeleteObject(handle);
}

void TwipsLayout::dpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    apply(HIWORD(wParam));
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace wordpour::win32
