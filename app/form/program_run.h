// How each face's program runs its main window, from start-up to quit.
#pragma once

#include <chrono>
#include <functional>

namespace wordpour::form {

class EntrySession;

// Quit ends the program within this, always: a spreadsheet that does not
// answer (or has not answered an entry) is left without waiting for an
// answer that may never come.
inline constexpr std::chrono::milliseconds kReleaseLimit{800};

// What the face does with its main window.
struct ProgramWindow {
    std::function<void()> show;
    std::function<int()> run;  // the event loop, until quit: the program's status
    std::function<void()> hide;
};

// Starts the session (the workbook dialog, the link), shows the window,
// runs it and releases the spreadsheet. Returns the program's status; a
// spreadsheet given up on ends the program at once.
int runProgram(EntrySession& session, const ProgramWindow& window);

}  // namespace wordpour::form
