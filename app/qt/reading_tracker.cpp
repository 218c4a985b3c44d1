#include "app/qt/reading_tracker.h"

#include <QInputMethodEvent>
#include <QLineEdit>

#include "app/find/kana.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

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
    if (auto reading = heard_.readingOf(fromQt(field_->text()))) return toQt(*reading);
    return std::nullopt;
}

bool ReadingTracker::eventFilter(QObject* watched, QEvent* event) {
    if ((watched != field_ && (!owner_ || watched != owner_)) ||
        event->type() != QEvent::InputMethod)
        return false;
    auto* input = static_cast<QInputMethodEvent*>(event);
    const QString commit = input->commitString();
    if (!commit.isEmpty()) {
        QString read = kana_;
        if (read.isEmpty() && find::isKana(fromQt(commit))) read = commit;
        // Where the commit goes: the selection, or the caret; a commit that
        // replaces text around the caret is nowhere the reading can follow.
        std::size_t start = 0, end = 0;
        if (field_->hasSelectedText()) {
            start = static_cast<std::size_t>(field_->selectionStart());
            end = start + static_cast<std::size_t>(field_->selectedText().size());
        } else if (input->replacementLength() == 0) {
            start = end = static_cast<std::size_t>(field_->cursorPosition());
        }
        heard_.converted(fromQt(field_->text()), start, end, fromQt(commit), fromQt(read));
        kana_.clear();
    }
    const QString preedit = input->preeditString();
    if (find::isKana(fromQt(preedit)))
        kana_ = preedit;
    else if (preedit.isEmpty() && commit.isEmpty())
        kana_.clear();  // given up
    const bool composingChanged = preedit != preedit_;
    preedit_ = preedit;
    // The field takes the event now (through its owner, where it came that
    // way), so that what runs next sees its text.
    static_cast<QObject*>(watched)->event(event);
    if (composingChanged && commit.isEmpty() && composing_) composing_();
    return true;
}

}  // namespace wordpour::qt
