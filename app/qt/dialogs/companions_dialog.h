// The dialog of the columns written with each word, from its table. Tests
// preset the next reply instead of filling it in.
#pragma once

#include <optional>

#include "app/form/companions.h"

class QWidget;

namespace wordpour::qt {

class CompanionsDialog {
public:
    // What the person set, or nothing when they cancelled.
    static std::optional<form::Companions> edit(QWidget* parent, const form::Companions& now);

    // The next edit() returns `reply` at once (nothing: cancelled).
    static void setNextReply(std::optional<form::Companions> reply);

private:
    static bool s_preset;
    static std::optional<form::Companions> s_nextReply;
};

}  // namespace wordpour::qt
