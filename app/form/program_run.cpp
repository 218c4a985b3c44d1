#include "app/form/program_run.h"

#include <cstdlib>

#include "app/form/entry_session.h"

namespace wordpour::form {

int runProgram(EntrySession& session, const ProgramWindow& window) {
    if (!session.start()) {
        // Given up on a spreadsheet that did not answer: end without waiting for it.
        if (session.entryUnderWay()) std::_Exit(1);
        return 1;
    }
    window.show();
    const int status = window.run();
    // The window goes at once, whatever the spreadsheet does.
    window.hide();
    if (!session.release(kReleaseLimit)) std::_Exit(status);
    return status;
}

}  // namespace wordpour::form
