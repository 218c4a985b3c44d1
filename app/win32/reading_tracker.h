// What the input method (IMM) tells an edit control beyond the text: the
// reading of what it converted (GCS_RESULTREADSTR), and what it is
// composing, which the type-to-find list follows before conversion.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <windows.h>

#include "app/find/heard_reading.h"

namespace wordpour::win32 {

class ReadingTracker {
public:
    ReadingTracker() = default;
    ~ReadingTracker() { detach(); }
    ReadingTracker(const ReadingTracker&) = delete;
    ReadingTracker& operator=(const ReadingTracker&) = delete;

    // Watches `edit` until detach(); `composing` runs whenever what is
    // composed changes.
    void attach(HWND edit, std::function<void()> composing = {});
    void detach();

    // The edit's text with what is being composed at the caret.
    std::u16string composingText() const;
    // How the input method read the edit's whole text: only when all of it
    // came from its conversions, each with its reading.
    std::optional<std::u16string> reading() const;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    void converted(const std::u16string& result, const std::u16string& read);

    HWND edit_ = nullptr;
    std::function<void()> composing_;
    std::u16string composition_;
    find::HeardReading heard_;
};

}  // namespace wordpour::win32
