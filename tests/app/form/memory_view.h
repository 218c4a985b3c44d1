// A view in memory for the entry session: it records what the session shows
// and where it puts the focus, and answers its dialogs from queues.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/form/session_view.h"

namespace wordpour::testing {

class MemoryView final : public form::SessionView {
public:
    // The word box as drawn: its entries, its text and the entry shown.
    std::vector<std::u16string> items;
    std::u16string typed;
    int current = -1;
    std::u16string cellName = u"A1";  // as the cell-name box shows it

    // What the session did.
    std::vector<form::Message> shown;
    std::vector<std::u16string> asked;    // input-box prompts and titles, "prompt|title|default"
    std::vector<std::u16string> filters;  // of each file dialog shown
    std::optional<form::Focus> focus;
    int cellPositionShown = 0, aboutShown = 0, focusTakenBack = 0;
    bool quitAsked = false, waiting = false, onTop = false, undoEnabled = false;
    std::map<form::Command, bool> checked;               // the check marks shown
    std::map<std::string, bool, std::less<>> settings;   // as stored between runs
    std::optional<std::vector<std::u16string>> matches;  // the find list, while shown
    std::vector<std::u16string> waitedWith;  // the waiting window's text, each start-up step
    // 中止 pressed once the start-up has waited this long.
    std::optional<std::chrono::milliseconds> giveUpAfter;

    // Answers given in turn; an empty queue answers OK, Cancel, "".
    std::deque<form::Answer> answers;
    std::deque<std::optional<std::u16string>> replies;
    std::deque<std::u16string> fileNames;

    // Runs what the link's thread posted, until nothing is under way.
    void runPosted(const std::function<bool()>& underWay,
                   std::chrono::milliseconds limit = std::chrono::seconds(10));

    // Picks entry `index` from the box's list, as a click in the drop-down does.
    void pick(int index) {
        current = index;
        typed = items.at(static_cast<std::size_t>(index));
    }

    // SessionView
    void appendWords(const std::vector<std::u16string>& all, std::size_t from) override {
        items.insert(items.end(), all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }
    void removeWord(std::size_t index) override;
    void selectWord(std::size_t index) override { pick(static_cast<int>(index)); }
    std::u16string typedWord() const override { return typed; }
    int shownEntry() const override { return current; }
    void showCellName(const std::u16string& name) override { cellName = name; }
    void setFocus(form::Focus f) override { focus = f; }
    form::Answer messageBox(const form::Message& message) override;
    std::optional<std::u16string> inputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;
    std::u16string openFileName(std::u16string_view filter) override;
    std::u16string saveFileName(std::u16string_view filter, std::u16string_view) override {
        return openFileName(filter);
    }
    void showCellPosition() override { ++cellPositionShown; }
    void showAbout() override { ++aboutShown; }
    void quit() override { quitAsked = true; }
    void setAlwaysOnTop(bool on) override { onTop = on; }
    void setUndoEnabled(bool enabled) override { undoEnabled = enabled; }
    void setChecked(form::Command command, bool on) override { checked[command] = on; }
    bool setting(std::string_view key, bool otherwise) override {
        const auto found = settings.find(key);
        return found == settings.end() ? otherwise : found->second;
    }
    std::optional<SettingNotKept> storeSetting(std::string_view key, bool value) override {
        if (settingNotKept) return settingNotKept;
        settings[std::string(key)] = value;
        return std::nullopt;
    }
    std::optional<std::u16string> textSetting(std::string_view key) override {
        const auto found = texts.find(key);
        return found == texts.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<SettingNotKept> storeTextSetting(std::string_view key,
                                                   const std::u16string& value) override {
        if (settingNotKept) return settingNotKept;
        texts[std::string(key)] = value;
        return std::nullopt;
    }
    std::map<std::string, std::u16string, std::less<>> texts;
    // What the companions dialog answers: nothing is Cancel.
    std::optional<form::Companions> companionsAnswer;
    std::optional<form::Companions> editCompanions(const form::Companions& now) override {
        companionsShown = now;
        return companionsAnswer;
    }
    std::optional<form::Companions> companionsShown;
    // Set: the settings file cannot be written.
    std::optional<SettingNotKept> settingNotKept;
    void takeFocusBack() override { ++focusTakenBack; }
    void showMatches(form::FoundRows rows) override {
        matches.emplace();
        matchReadings.clear();
        for (std::size_t i = 0; i < rows.count; ++i) {
            const form::FoundRow row = rows.row(i);
            matches->push_back(row.word);
            matchReadings.push_back(row.reading);
        }
    }
    std::vector<std::u16string> matchReadings;  // beside each of `matches`
    // What the input method read: for the word box's text, for the input box's.
    std::optional<std::u16string> reading, inputReading;
    std::u16string composing;  // what it composes, at the text's end
    std::u16string composingWord() const override { return typed + composing; }
    std::optional<std::u16string> typedReading() const override { return reading; }
    std::optional<std::u16string> inputBoxReading() const override { return inputReading; }
    // The journal: `journalAt`, or in the current folder, which a test
    // makes its own.
    std::filesystem::path journalAt;
    std::filesystem::path journalFolder() const override {
        return journalAt.empty() ? std::filesystem::current_path() / "journal" : journalAt;
    }
    void hideMatches() override { matches.reset(); }
    bool waitForStart(const std::function<bool()>& finished, std::u16string_view text) override;
    void setWaiting(bool w) override { waiting = w; }
    void post(std::function<void()> task) override;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace wordpour::testing
