#include "app/win32/reading_tracker.h"

#include <commctrl.h>
#include <imm.h>

#include "app/win32/win_text.h"

namespace wordpour::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x5250;  // "RP"

std::u16string compositionString(HWND window, DWORD which) {
    std::u16string text;
    if (HIMC context = ImmGetContext(window)) {
        const LONG bytes = ImmGetCompositionStringW(context, which, nullptr, 0);
        if (bytes > 0) {
            text.resize(static_cast<std::size_t>(bytes) / sizeof(wchar_t));
            ImmGetCompositionStringW(context, which, text.data(), static_cast<DWORD>(bytes));
        }
        ImmReleaseContext(window, context);
    }
    return text;
}

}  // namespace

void ReadingTracker::attach(HWND edit, std::function<void()> composing) {
    detach();
    edit_ = edit;
    composing_ = std::move(composing);
    SetWindowSubclass(edit, procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void ReadingTracker::detach() {
    if (edit_ && IsWindow(edit_)) RemoveWindowSubclass(edit_, procedure, kSubclassId);
    edit_ = nullptr;
}

std::u16string ReadingTracker::composingText() const {
    std::u16string text = windowText(edit_);
    if (composition_.empty()) return text;
    DWORD start = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    text.insert(std::min<std::size_t>(start, text.size()), composition_);
    return text;
}

std::optional<std::u16string> ReadingTracker::reading() const {
    return heard_.readingOf(windowText(edit_));
}

void ReadingTracker::converted(const std::u16string& result, const std::u16string& read) {
    DWORD start = 0, end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    heard_.converted(windowText(edit_), start, end, result, read);
}

LRESULT CALLBACK ReadingTracker::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    auto* tracker = reinterpret_cast<ReadingTracker*>(self);
    if (message == WM_IME_COMPOSITION) {
        if (lParam & GCS_RESULTSTR)
            tracker->converted(compositionString(window, GCS_RESULTSTR),
                               compositionString(window, GCS_RESULTREADSTR));
        const std::u16string now =
            (lParam & GCS_COMPSTR) ? compositionString(window, GCS_COMPSTR) : std::u16string();
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (now != tracker->composition_) {
            tracker->composition_ = now;
            if (tracker->composing_) tracker->composing_();
        }
        return result;
    }
    if (message == WM_IME_ENDCOMPOSITION && !tracker->composition_.empty()) {
        tracker->composition_.clear();
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (tracker->composing_) tracker->composing_();
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace wordpour::win32
