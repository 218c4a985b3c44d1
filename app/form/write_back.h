// Writing back what a workbook lost: which of the journal's entries made
// into it since it was last saved its cells no longer hold, the question
// that offers them back, and the entries still to be written once the
// person said はい.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "journal/journal.h"
#include "link/workbook_link.h"

namespace wordpour::form {

class SessionView;

// What a workbook lost of the journal's entries.
struct Lost {
    std::vector<link::Entry> lost;        // to offer back, in their order
    std::vector<std::u16string> changed;  // cells that hold something else now
};

// What `book` lost of the journal's entries made into it since its file
// was last saved (not taken back since), as `link` finds their cells: the
// lost, the changed; a record that could not be checked is logged and left
// out. A link that failed finds nothing: the next command reports it. Runs
// on the link's thread, with its own copies of the journal and the path.
Lost findLost(link::WorkbookLink& link, const journal::Journal& journal, const std::u16string& book,
              std::int64_t now);

class WriteBack {
public:
    // Writes one entry back, as an entry the person made; the answer comes
    // back through next() or stop().
    using Write = std::function<void(link::Entry)>;

    WriteBack(SessionView& view, Write write) : view_(view), write_(std::move(write)) {}

    // Offers the lost entries in one question: はい writes them in their
    // order, then `then` runs; いいえ writes none and `then` runs at once.
    void offer(const Lost& found, std::function<void()> then);
    // Whether entries are being written back.
    bool active() const { return active_; }
    // The last one was written or skipped: the next, or what follows them.
    void next();
    // The last one failed: the rest, and what would follow, wait for the person.
    void stop();

private:
    SessionView& view_;
    Write write_;
    bool active_ = false;
    std::deque<link::Entry> left_;
    std::function<void()> then_;
};

}  // namespace wordpour::form
