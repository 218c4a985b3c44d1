#include "tests/app/form/memory_view.h"

#include <chrono>

namespace wordpour::testing {

form::Answer MemoryView::messageBox(const form::Message& message) {
    shown.push_back(message);
    if (answers.empty()) return form::Answer::Ok;
    const form::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::u16string> MemoryView::inputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText) {
    asked.push_back(std::u16string(prompt) + u"|" + std::u16string(title) + u"|" +
                    std::u16string(defaultText));
    if (replies.empty()) return std::nullopt;
    auto reply = replies.front();
    replies.pop_front();
    return reply;
}

std::u16string MemoryView::openFileName(std::u16string_view filter) {
    filters.emplace_back(filter);
    if (fileNames.empty()) return {};
    std::u16string name = fileNames.front();
    fileNames.pop_front();
    return name;
}

void MemoryView::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    wake_.notify_one();
}

bool MemoryView::waitForStart(const std::function<bool()>& finished, std::u16string_view text) {
    waitedWith.emplace_back(text);
    runPosted([&] { return !finished(); }, giveUpAfter.value_or(std::chrono::seconds(10)));
    return finished();
}

void MemoryView::runPosted(const std::function<bool()>& underWay, std::chrono::milliseconds limit) {
    // Wakes as soon as a task is posted, as a window's event loop does.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (underWay()) {
        std::deque<std::function<void()>> now;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait_until(lock, deadline, [this] { return !posted_.empty(); })) return;
            now.swap(posted_);
        }
        for (auto& task : now) task();
    }
}

void MemoryView::removeWord(std::size_t index) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    // As a classic combo box: the entry shown is gone, its text stays.
    if (current == static_cast<int>(index))
        current = -1;
    else if (current > static_cast<int>(index))
        --current;
}

}  // namespace wordpour::testing
