// Text and geometry conversions between the core's types and Win32's.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace wordpour::win32 {

// wchar_t is a UTF-16 code unit on Windows, as char16_t is.
inline std::wstring toWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string fromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// The whole text of a window or control.
inline std::u16string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return fromWide(text);
}

// Window geometry is given in twips: 1/1440 inch, so 15 to a pixel at 96 dpi.
inline int px(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The dots per inch of the monitor a window is on (the program is per-monitor
// DPI aware); the screen's where the system has no per-window figure.
inline UINT dpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    HDC screen = GetDC(window);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

// Moves a control to its twips rectangle.
inline void placeTwips(HWND control, int left, int top, int width, int height, UINT dpi) {
    MoveWindow(control, px(left, dpi), px(top, dpi), px(width, dpi), px(height, dpi), FALSE);
}

// The first of the Japanese UI fonts that is installed, "ＭＳ Ｐゴシック" first;
// with none of them, the system maps the Shift-JIS character set to one.
inline const wchar_t* gothicFace() {
    static const wchar_t* face = [] {
        const wchar_t* faces[] = {L"ＭＳ Ｐゴシック", L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI"};
        HDC screen = GetDC(nullptr);
        const wchar_t* found = faces[0];
        for (const wchar_t* candidate : faces) {
            LOGFONTW wanted{};
            wanted.lfCharSet = DEFAULT_CHARSET;
            wcscpy(wanted.lfFaceName, candidate);
            bool installed = false;
            EnumFontFamiliesExW(
                screen, &wanted,
                [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
                    *reinterpret_cast<bool*>(seen) = true;
                    return 0;
                },
                reinterpret_cast<LPARAM>(&installed), 0);
            if (installed) {
                found = candidate;
                break;
            }
        }
        ReleaseDC(nullptr, screen);
        return found;
    }();
    return face;
}

// The program's Gothic with the Shift-JIS character set.
inline HFONT gothicFont(double points, bool bold, UINT dpi, bool underline = false) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(static_cast<int>(points * 100), static_cast<int>(dpi), 7200);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcscpy(font.lfFaceName, gothicFace());
    return CreateFontIndirectW(&font);
}

// Keeps a top-level window above all others that are not (true), or lets
// it go behind again, without moving, sizing or activating it.
inline void keepOnTop(HWND window, bool onTop) {
    if (window)
        SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The object a window of createFrame belongs to: its `self`, kept with the
// window from WM_NCCREATE on; null for the messages before.
template <typename Owner>
Owner* ownerOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A top-level window of the program: the ordinary, resizable frame with the
// program's icon, whose client area is `width` x `height` twips at its DPI.
// The controls keep their places when it is resized. `self` reaches
// `procedure` as the creation parameter.
inline HWND createFrame(const wchar_t* className, WNDPROC procedure, const wchar_t* title,
                        int width, int height, HMENU menu, void* self) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW type{};
    if (!GetClassInfoW(instance, className, &type)) {
        type.lpfnWndProc = procedure;
        type.hInstance = instance;
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        type.hIcon = LoadIconW(instance, L"WORDPOUR");
        type.lpszClassName = className;
        RegisterClassW(&type);
    }
    const DWORD style = WS_OVERLAPPEDWINDOW;
    HWND window = CreateWindowExW(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                                  nullptr, menu, instance, self);
    const UINT dpi = dpiOf(window);
    RECT client{0, 0, px(width, dpi), px(height, dpi)};
    AdjustWindowRectEx(&client, style, menu != nullptr, 0);
    SetWindowPos(window, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

}  // namespace wordpour::win32
