// A window in memory for the main window's logic: it records what the logic
// shows and where it puts the focus, and answers its dialogs from queues.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/form_view.h"
#include "tests/support/memory_box.h"

namespace wordpour::testing {

class MemoryView final : public app::FormView, public app::WordBox {
public:
    // The word box.
    std::vector<std::u16string> items;
    std::u16string typed;  // the box's text
    int current = -1;

    // What the logic did.
    std::vector<link::Message> shown;
    std::vector<std::u16string> asked;    // input-box prompts and titles, "prompt|title|default"
    std::vector<std::u16string> filters;  // of each file dialog shown
    std::optional<app::Focus> focus;
    int cellPositionShown = 0, aboutShown = 0;
    bool quitAsked = false, waiting = false, onTop = false, undoEnabled = false;
    MemoryBox cellBox;
    std::optional<std::vector<std::u16string>> matches;  // the find list, while shown

    // Answers given in turn; an empty queue answers OK, Cancel, "".
    std::deque<link::Answer> answers;
    std::deque<std::optional<std::u16string>> replies;
    std::deque<std::u16string> fileNames;

    // Runs what the link's thread posted, until nothing is under way.
    void runPosted(const std::function<bool()>& underWay);

    // FormView
    app::WordBox& wordBox() override { return *this; }
    cells::CellNameBox& cellName() override { return cellBox; }
    void setFocus(app::Focus f) override { focus = f; }
    link::Answer messageBox(const link::Message& message) override;
    std::optional<std::u16string> inputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;
    std::u16string openFileName(std::u16string_view filter) override;
    void showCellPosition() override { ++cellPositionShown; }
    void showAbout() override { ++aboutShown; }
    void quit() override { quitAsked = true; }
    void setAlwaysOnTop(bool on) override { onTop = on; }
    void setUndoEnabled(bool enabled) override { undoEnabled = enabled; }
    void showMatches(const std::vector<std::u16string>& words) override { matches = words; }
    void hideMatches() override { matches.reset(); }
    void setWaiting(bool w) override { waiting = w; }
    void post(std::function<void()> task) override;

    // WordBox
    std::size_t count() const override { return items.size(); }
    std::u16string item(std::size_t index) const override { return items.at(index); }
    void append(const std::vector<std::u16string>& more) override {
        items.insert(items.end(), more.begin(), more.end());
    }
    void remove(std::size_t index) override;
    std::u16string text() const override { return typed; }
    int currentIndex() const override { return current; }
    void select(std::size_t index) override { pick(static_cast<int>(index)); }

    // Picks entry `index` from the list, as a click in the drop-down does.
    void pick(int index) {
        current = index;
        typed = items.at(static_cast<std::size_t>(index));
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace wordpour::testing
