// Linking again after the spreadsheet application ended or the workbook
// was closed: attach to the application running now (asking before
// starting one), take the workbook again (asking before opening it), and
// then let the command that found the link gone go on. Or say why not:
// the word and the cell name stay. Where the flow stands is `step_`.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/form/message.h"
#include "link/link_thread.h"
#include "link/workbook_link.h"

namespace wordpour::form {

class SessionView;

class Relink {
public:
    Relink(SessionView& view, link::LinkThread& thread, link::WorkbookLink& link)
        : view_(view), thread_(thread), link_(link) {}

    // Links again to the workbook `book`; once it is taken again, `then`
    // runs. Nothing runs when the person declines or linking fails.
    void start(std::u16string book, std::function<void()> then);

private:
    enum class Step {
        Idle,
        Attaching,  // to the application running now
        Starting,   // the application, after the person said はい
        Retaking,   // the workbook and its sheet
    };
    void attach();
    void attached(link::Reattached found);
    void started(std::optional<link::StartupError> failed);
    void retake();
    void retaken(std::optional<link::spreadsheet::Error> failed);
    // The flow ends without linking: `said` is shown, the focus goes to 入力.
    void giveUp(const Message& said);

    SessionView& view_;
    link::LinkThread& thread_;
    link::WorkbookLink& link_;  // used on the link's thread only
    Step step_ = Step::Idle;
    bool mayStart_ = true;  // the application is started at most once a relink
    std::u16string book_;
    std::function<void()> then_;
};

}  // namespace wordpour::form
