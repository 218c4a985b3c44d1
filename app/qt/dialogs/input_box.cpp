#include "app/qt/dialogs/input_box.h"

#include <QInputDialog>

namespace wordpour::app {

bool InputBox::s_preset = false;
std::optional<QString> InputBox::s_nextReply;

std::optional<QString> InputBox::getText(QWidget* parent, const QString& prompt,
                                         const QString& title, const QString& defaultText) {
    if (s_preset) {
        s_preset = false;
        return std::exchange(s_nextReply, std::nullopt);
    }
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

void InputBox::setNextReply(std::optional<QString> reply) {
    s_preset = true;
    s_nextReply = std::move(reply);
}

}  // namespace wordpour::app
