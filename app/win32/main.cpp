// wordpour.exe: the Win32 face over the window logic, driving Excel.
#include <chrono>
#include <cstdlib>

#include <windows.h>

#include <commctrl.h>

#include "app/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Excel is started by the user: the backend offers no way to start it.
    wordpour::app::win32::MainWindow window(
        {wordpour::spreadsheet::applicationName(), &wordpour::spreadsheet::attachRunning, {}});
    if (!window.session().start()) {
        // Given up on an Excel that did not answer: end without waiting for it.
        if (window.session().entryUnderWay()) std::_Exit(1);
        return 1;
    }
    ShowWindow(window.window(), show);
    UpdateWindow(window.window());
    const int status = window.run();
    // Quit ends the program within a second, always: the window goes at
    // once, and an Excel that does not answer (or has not answered an
    // entry) is left without waiting for an answer that may never come.
    ShowWindow(window.window(), SW_HIDE);
    if (!window.session().release(std::chrono::milliseconds(800))) std::_Exit(status);
    return status;
}
