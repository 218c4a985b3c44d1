#include "app/qt/dialogs/input_box.h"

#include <QInputDialog>
#include <QLineEdit>

#include "app/qt/dialogs/message_box.h"
#include "app/qt/reading_tracker.h"

namespace wordpour::qt {

bool InputBox::s_preset = false;
std::optional<QString> InputBox::s_nextReply;
std::vector<InputBox::Asked> InputBox::s_asked;
std::optional<QString> InputBox::s_lastReading;

std::optional<QString> InputBox::getText(QWidget* parent, const QString& prompt,
                                         const QString& title, const QString& defaultText) {
    s_asked.push_back({prompt, title, defaultText});
    s_lastReading.reset();
    if (s_preset) {
        s_preset = false;
        return std::exchange(s_nextReply, std::nullopt);
    }
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setMinimumWidth(widthForTitle(box, title));
    // The box's text field is named by the prompt, for a screen reader.
    ReadingTracker* readings = nullptr;
    if (auto* field = box.findChild<QLineEdit*>()) {
        field->setAccessibleName(prompt);
        readings = new ReadingTracker(field);
    }
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    if (readings) s_lastReading = readings->reading();
    return box.textValue();
}

std::vector<InputBox::Asked> InputBox::takeAsked() {
    return std::exchange(s_asked, {});
}

void InputBox::setNextReply(std::optional<QString> reply) {
    s_preset = true;
    s_nextReply = std::move(reply);
}

}  // namespace wordpour::qt
