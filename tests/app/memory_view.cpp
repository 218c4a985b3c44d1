#include "tests/app/memory_view.h"

#include <chrono>
#include <thread>

namespace wordpour::testing {

link::Answer MemoryView::messageBox(const link::Message& message) {
    shown.push_back(message);
    if (answers.empty()) return link::Answer::Ok;
    const link::Answer answer = answers.front();
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
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
}

void MemoryView::runPosted(const std::function<bool()>& underWay) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (underWay() && std::chrono::steady_clock::now() < deadline) {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard lock(mutex_);
            now.swap(posted_);
        }
        for (auto& task : now) task();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void MemoryView::remove(std::size_t index) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    // As a classic combo box: the entry shown is gone, its text stays.
    if (current == static_cast<int>(index))
        current = -1;
    else if (current > static_cast<int>(index))
        --current;
}

}  // namespace wordpour::testing
