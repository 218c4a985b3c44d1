// wordpour.exe: the Win32 face over the window logic, driving Excel.
#include <cstdlib>

#include <windows.h>

#include <commctrl.h>

#include "app/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    wordpour::app::win32::Form1Window form1(&wordpour::excel::attachRunning);
    if (!form1.logic().Form_Initialize()) return 1;
    ShowWindow(form1.window(), show);
    UpdateWindow(form1.window());
    const int status = form1.run();
    // Quit while Excel has not answered an entry: end at once, without
    // waiting for an answer that may never come.
    if (form1.logic().entryUnderWay()) std::_Exit(status);
    return status;
}
