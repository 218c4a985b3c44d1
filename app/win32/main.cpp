// wordpour.exe: the Win32 face over the window logic, driving the spreadsheet
// the build chose (Excel).
#include <windows.h>

#include <commctrl.h>

#include "app/form/program_run.h"
#include "app/win32/main_window.h"
#include "link/spreadsheet/chosen_backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    wordpour::win32::MainWindow window(wordpour::link::spreadsheet::chosenBackend());
    return wordpour::form::runProgram(window.session(),
                                      {.show =
                                           [&] {
                                               ShowWindow(window.window(), show);
                                               UpdateWindow(window.window());
                                           },
                                       .run = [&] { return window.run(); },
                                       .hide = [&] { ShowWindow(window.window(), SW_HIDE); }});
}
