// What an input method tells a text field beyond the text: the kana it was
// composing before it converted them, which is how the person reads the
// word, and the composing text itself, which the type-to-find list follows
// before anything is converted.
#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "app/find/heard_reading.h"

class QLineEdit;

namespace wordpour::qt {

class ReadingTracker final : public QObject {
public:
    // Watches `field`, as its child, and `owner` when the field is part of
    // it (a combo box takes the input method's events and hands them on).
    // `composing` runs whenever what the input method composes changes
    // without the text changing.
    ReadingTracker(QLineEdit* field, QWidget* owner = nullptr,
                   std::function<void()> composing = {});

    // The field's text with what is being composed at the cursor.
    QString composingText() const;
    // How the input method read the field's whole text: only when all of it
    // came from its commits, each after kana.
    std::optional<QString> reading() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_;
    QWidget* owner_;
    std::function<void()> composing_;
    QString preedit_;  // being composed now
    QString kana_;     // the last composing text that was kana alone
    find::HeardReading heard_;
};

}  // namespace wordpour::qt
