// The modal input box. Tests preset the next reply instead of typing it.
#pragma once

#include <optional>
#include <vector>

#include <QString>

class QWidget;

namespace wordpour::qt {

class InputBox {
public:
    // The text typed, or nothing when the user cancelled.
    static std::optional<QString> getText(QWidget* parent, const QString& prompt,
                                          const QString& title, const QString& defaultText);

    // How the input method read the text the last box returned, where it
    // gave the reading for all of it.
    static std::optional<QString> lastReading() { return s_lastReading; }

    // The next getText() returns `reply` at once (nothing: cancelled).
    static void setNextReply(std::optional<QString> reply);

    // What each box asked (or was answered in advance for) since the last
    // call.
    struct Asked {
        QString prompt, title, defaultText;
    };
    static std::vector<Asked> takeAsked();

private:
    static bool s_preset;
    static std::optional<QString> s_nextReply;
    static std::vector<Asked> s_asked;
    static std::optional<QString> s_lastReading;
};

}  // namespace wordpour::qt
