// Whether Japanese can be typed into this Qt 6 program with the input
// method the desktop is set up for, and if not, what to do about it. Qt
// reaches an input method only through a platform input-context plugin
// named by QT_IM_MODULE: Qt itself ships "ibus" and "compose", fcitx5's
// "fcitx" comes with fcitx5-frontend-qt6, and uim has none for Qt 6.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "app/form/wording.h"

class QWidget;

namespace wordpour::qt {

// The input method as the environment sets it up.
struct InputMethodSetting {
    std::string qtModule;    // QT_IM_MODULE
    std::string xModifiers;  // XMODIFIERS, "@im=NAME" for X programs

    static InputMethodSetting fromEnvironment();
    // What the advice depends on, to tell whether it was given already.
    std::string signature() const { return qtModule + "|" + xModifiers; }
};

// The keys of the platform input-context plugins Qt can load here.
std::set<std::string> inputContextKeys();

// Why Japanese cannot be typed with `setting` and these plugins, and what
// helps; nothing when it can (or no input method is set up at all).
std::optional<form::wording::InputMethodGap> inputMethodGap(const InputMethodSetting& setting,
                                                            const std::set<std::string>& keys);

// Shows the advice for this environment once: not again for the same
// setting, remembered in the user's configuration. Goes on either way.
void adviseOnInputMethod(QWidget* parent);

}  // namespace wordpour::qt
