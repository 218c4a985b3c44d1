#include "app/form/relink.h"

#include <utility>

#include "app/form/session_view.h"
#include "app/form/wording.h"

namespace wordpour::form {

void Relink::start(std::u16string book, std::function<void()> then) {
    book_ = std::move(book);
    then_ = std::move(then);
    mayStart_ = true;
    attach();
}

void Relink::attach() {
    step_ = Step::Attaching;
    view_.setWaiting(true);
    thread_.ask([link = &link_, book = book_] { return link->reattach(book); },
                [this](link::Reattached found) { attached(std::move(found)); });
}

void Relink::attached(link::Reattached found) {
    view_.setWaiting(false);
    const auto name = link_.applicationName();
    if (found.failure && found.failure->failure() == link::spreadsheet::Failure::NotStarted &&
        mayStart_) {
        // None runs: asked as at start-up; only Yes starts it.
        if (view_.messageBox(wording::relinkStartQuestion(name)) != Answer::Yes)
            return giveUp(wording::notRelinked(book_));
        step_ = Step::Starting;
        mayStart_ = false;
        thread_.ask(
            [link = &link_] { return link->startApplication(); },
            [this](std::optional<link::StartupError> failed) { started(std::move(failed)); });
        return;
    }
    if (found.failure) {
        wording::logDiagnostic(found.failure);
        return giveUp(wording::relinkFailed(*found.failure, book_, name));
    }
    // A workbook closed meanwhile is opened again only after a question,
    // いいえ the default.
    if (!found.bookOpen && view_.messageBox(wording::bookClosedQuestion(book_)) != Answer::Yes)
        return giveUp(wording::notRelinked(book_));
    retake();
}

void Relink::started(std::optional<link::StartupError> failed) {
    if (failed) {
        wording::logDiagnostic(failed->cause);
        return giveUp(wording::relinkStartFailed(*failed, link_.applicationName()));
    }
    attach();
}

void Relink::retake() {
    step_ = Step::Retaking;
    view_.setWaiting(true);
    thread_.ask(
        [link = &link_, book = book_] { return link->retake(book); },
        [this](std::optional<link::spreadsheet::Error> failed) { retaken(std::move(failed)); });
}

void Relink::retaken(std::optional<link::spreadsheet::Error> failed) {
    view_.setWaiting(false);
    if (failed) {
        wording::logDiagnostic(failed);
        return giveUp(wording::relinkFailed(*failed, book_, link_.applicationName()));
    }
    step_ = Step::Idle;
    if (auto then = std::exchange(then_, nullptr)) then();
}

void Relink::giveUp(const Message& said) {
    step_ = Step::Idle;
    then_ = nullptr;
    view_.messageBox(said);
    view_.setFocus(Focus::Enter);
}

}  // namespace wordpour::form
