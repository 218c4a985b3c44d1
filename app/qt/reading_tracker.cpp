#include "app/qt/reading_tracker.h"

#include <QInputMethodEvent>
#include <QLineEdit>

#include "app/find/kana.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

ReadingTracker::ReadingTracker(QLineEdit* field, QWidget* owner, std::function<void()> composing)
    : QObject(field), field_(field), owner_(owner), composing_(std::move(composing)) {
    field->installEventFilter(this);
    if (owner) owner->installEventFilter(this);
}

QString ReadingTracker::composingText() const {
    QString text = field_->text();
    if (!preedit_.isEmpty()) text.insert(field_->cursorPosition(), preedit_);
    return text;
}

std::optional<QString> ReadingTracker::reading() const {
    if (!heard_ || heardText_.isEmpty() || field_->text() != heardText_) return std::nullopt;
    return heardReading_;
}

bool ReadingTracker::eventFilter(QObject* watched, QEvent* event) {
    if ((watched != field_ && (!owner_ || watched != owner_)) ||
        event->type() != QEvent::InputMethod)
        return false;
    auto* input = static_cast<QInputMethodEvent*>(event);
    const QString commit = input->commitString();
    if (!commit.isEmpty()) {
        QString read = kana_;
        if (read.isEmpty() && isKana(fromQt(commit))) read = commit;
        const QString before = field_->text();
        const bool atEnd = !field_->hasSelectedText() && input->replacementLength() == 0 &&
                           field_->cursorPosition() == before.size();
        const bool replacesAll = before.isEmpty() || field_->selectedText() == before;
        if (replacesAll) {
            heardText_ = commit;
            heardReading_ = read;
            heard_ = !read.isEmpty();
        } else if (atEnd && heard_ && before == heardText_ && !read.isEmpty()) {
            heardText_ += commit;
            heardReading_ += read;
        } else {
            heard_ = false;
        }
        kana_.clear();
    }
    const QString preedit = input->preeditString();
    if (isKana(fromQt(preedit))) kana_ = preedit;
    else if (preedit.isEmpty() && commit.isEmpty()) kana_.clear();  // given up
    const bool composingChanged = preedit != preedit_;
    preedit_ = preedit;
    // The field takes the event now (through its owner, where it came that
    // way), so that what runs next sees its text.
    static_cast<QObject*>(watched)->event(event);
    if (composingChanged && commit.isEmpty() && composing_) composing_();
    return true;
}

}  // namespace wordpour::app
