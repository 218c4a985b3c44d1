// Which Qt platform Wordpour runs on. In a Wayland session it runs through
// XWayland when the session has it: there 常に手前に表示 keeps the window
// above others and the window can take the keyboard back from the
// spreadsheet, while a Wayland client can do neither (xdg-shell knows no
// "above", and the compositor alone gives the keyboard). Natively on
// Wayland (the person asked for it, or no X server runs) the person is
// told once.
#pragma once

#include <string>

class QWidget;

namespace wordpour::qt {

struct PlatformEnvironment {
    std::string qpa;             // QT_QPA_PLATFORM: the person's own choice
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string display;         // DISPLAY: XWayland's, in a Wayland session

    static PlatformEnvironment fromEnvironment();
};

// The platform to ask Qt for ("xcb"), or empty for Qt's own choice.
std::string chosenPlatform(const PlatformEnvironment& environment);

// Sets QT_QPA_PLATFORM as chosenPlatform() says; before QApplication.
void choosePlatform();

// Running natively on Wayland: says once (not again for this person) what
// cannot be done there. Goes on either way.
void adviseOnWayland(QWidget* parent);

}  // namespace wordpour::qt
