// The Win32 windows themselves, under Wine: where each control stands at
// 96 and at 144 dpi, and which keys press what.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <vector>
#include "app/win32/control_ids.h"
#include "app/win32/main_window.h"
#include "app/win32/spoken_name.h"
#include "tests/app/win32/window_probe.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace {

using wordpour::form::Command;
using wordpour::win32::MainWindow;
using namespace wordpour::testing::win32;
namespace form = wordpour::form;
namespace ids = wordpour::win32;

class MainWindowTest : public ::testing::Test {
protected:
    wordpour::testing::FakeSpreadsheet sheet;
    MainWindow main{stubBackend(sheet)};
    HWND window = main.window();
    HWND control(int id) { return GetDlgItem(window, id); }
};

// The word box and every button where the tables put them, in their fonts.
TEST_F(MainWindowTest, ControlsStandAtTheirTwipsAtEveryDpi) {
    struct Control {
        int id;
        std::u16string_view caption;
        form::TwipsRect at;  // height 0: the word box's, which its font may raise
        double points;
    };
    std::vector<Control> controls = {
        {ids::kWordBoxId, u"", {120, 0, 3495, 0}, form::kWordBox.font.points}};
    for (const form::ButtonDef& b : form::kButtons)
        controls.push_back({ids::commandId(b.command), b.caption, b.rect, form::kPlainFont.points});
    for (const UINT dpi : {96u, 144u}) {
        if (dpi != 96)
            changeDpi(window, dpi, MulDiv(form::kMainWindow.width, dpi, 1440),
                      MulDiv(form::kMainWindow.height, dpi, 1440));
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, MulDiv(form::kMainWindow.width, dpi, 1440)) << dpi;
        EXPECT_EQ(client.bottom, MulDiv(form::kMainWindow.height, dpi, 1440)) << dpi;
        for (const Control& c : controls) {
            SCOPED_TRACE(testing::Message() << "control " << c.id << " at " << dpi << " dpi");
            HWND shown = control(c.id);
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(textOf(shown), std::wstring(c.caption.begin(), c.caption.end()));
            const RECT r = clientRectIn(shown, window);
            EXPECT_EQ(r.left, MulDiv(c.at.left, dpi, 1440));
            EXPECT_EQ(r.top, MulDiv(c.at.top, dpi, 1440));
            EXPECT_EQ(r.right - r.left, MulDiv(c.at.width, dpi, 1440));
            if (c.at.height) {
                EXPECT_EQ(r.bottom - r.top, MulDiv(c.at.height, dpi, 1440));
            } else {
                // The word box: 525 twips, or more where its font needs it.
                const int twips = form::kWordBox.rect.height;
                EXPECT_GE(r.bottom - r.top, MulDiv(twips, dpi, 1440));
                EXPECT_LE(r.bottom - r.top, MulDiv(twips, dpi, 1440) + MulDiv(8, dpi, 96));
            }
            EXPECT_EQ(fontHeight(shown), -MulDiv(static_cast<int>(c.points * 100), dpi, 7200));
        }
    }
}

// What a screen reader hears, through the system's accessibility objects.
// The boxes and lists are named through the system's annotation service;
// Wine 8 has none (its SetHwndPropStr fails), and names an edit box by the
// label before it and every other control by its text. So under Wine the
// buttons and the cell-name box are heard by name, and the annotated names
// only where the service is there.
TEST_F(MainWindowTest, AScreenReaderHearsEachControlsName) {
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    ASSERT_TRUE(GetComboBoxInfo(main.wordBox(), &parts));
    const HWND cellNameBox =
        FindWindowExW(main.cellPositionDialog().window(), nullptr, L"EDIT", nullptr);
    const bool annotated =
        wordpour::win32::setSpokenName(main.wordBox(), form::kWordBox.spokenName);
    struct Control {
        const char* what;
        HWND control;
        std::u16string_view name;
        bool byAnnotation;  // heard only where the annotation service is there
    };
    std::vector<Control> controls = {
        {"the word box", main.wordBox(), form::kWordBox.spokenName, true},
        {"the text field in it", parts.hwndItem, form::kWordBox.spokenName, true},
        {"its drop-down list", parts.hwndList, form::kWordBoxListName, true},
        {"the cell-name box", cellNameBox,
         annotated ? form::kCellNameBox.spokenName : form::kCellPrompt.text, false},
    };
    for (const form::ButtonDef& b : form::kButtons)
        controls.push_back({"a button", main.button(b.command), b.caption, false});
    std::printf("the annotation service is %s\n", annotated ? "there" : "missing (Wine)");
    for (const Control& c : controls) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.control, nullptr);
        const std::wstring heard = heardName(c.control);
        if (c.byAnnotation && !annotated) continue;
        EXPECT_EQ(heard, std::wstring(c.name.begin(), c.name.end()));
    }
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonOnlyAndTheShortcutsWorkInTheWordBox) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    // Enter in the word box, and Escape on a button, press nothing.
    SetFocus(control(ids::kWordBoxId));
    press(main, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(main.cellPositionDialog().window()));
    SetFocus(main.button(Command::CellPosition));
    press(main, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(main.cellPositionDialog().window()));
    // Enter on セル位置 shows the dialog with the focus in its text box.
    press(main, VK_RETURN);
    HWND dialog = FindWindowW(nullptr, L"セル位置");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    wchar_t className[32] = {};
    GetClassNameW(GetFocus(), className, 32);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_EQ(GetParent(GetFocus()), dialog);
    // F1 with the focus in the word box: one about box, however often.
    SetForegroundWindow(window);
    SetFocus(control(ids::kWordBoxId));
    press(main, VK_F1);
    SetFocus(control(ids::kWordBoxId));
    press(main, VK_F1);
    int aboutBoxes = 0;
    EnumWindows(
        [](HWND window, LPARAM count) -> BOOL {
            if (IsWindowVisible(window) && textOf(window) == L"バージョン情報")
                ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&aboutBoxes));
    EXPECT_EQ(aboutBoxes, 1);
}

TEST_F(MainWindowTest, TheAboutBoxPictureKeepsItsNaturalSizeAtEveryDpi) {
    main.session().showAbout();
    HWND about = FindWindowW(nullptr, L"バージョン情報");
    ASSERT_NE(about, nullptr);
    HWND picture = nullptr;
    EnumChildWindows(
        about,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            if (lstrcmpiW(className, L"Static") == 0 &&
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&picture));
    ASSERT_NE(picture, nullptr);
    for (const UINT dpi : {96u, 144u}) {
        if (dpi != 96) changeDpi(about, dpi, MulDiv(4560, dpi, 1440), MulDiv(2805, dpi, 1440));
        const RECT r = clientRectIn(picture, about);
        EXPECT_EQ(r.left, MulDiv(240, dpi, 1440)) << dpi;
        EXPECT_EQ(r.top, MulDiv(720, dpi, 1440)) << dpi;
        EXPECT_EQ(r.right - r.left, 65) << dpi;
        EXPECT_EQ(r.bottom - r.top, 65) << dpi;
    }
}

// While the start-up waits, a small window shows after a second, and 中止
// gives up at once.
TEST(WaitingWindow, TheStartUpWaitsInASmallWindowThatCanBeGivenUp) {
    wordpour::testing::FakeSpreadsheet sheet;
    MainWindow main{stubBackend(sheet)};
    static std::wstring seen;
    seen.clear();
    SetTimer(nullptr, 0, form::kShowStartWaitingAfterMs + 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND waiting = FindWindowW(L"WordpourWaiting", nullptr);
        if (!waiting || !IsWindowVisible(waiting)) return;
        seen = textOf(waiting);
        for (HWND child = GetWindow(waiting, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            seen += L"|" + textOf(child);
        PostMessageW(FindWindowExW(waiting, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
    });
    form::SessionView& view = main;
    const DWORD begin = GetTickCount();
    EXPECT_FALSE(view.waitForStart(
        [] { return false; },
        u"Excel の応答を待っています…\n「中止」を押すと、ワードポア！を終了します。"));
    EXPECT_EQ(seen,
              L"ワードポア！|Excel "
              L"の応答を待っています…\n「中止」を押すと、ワードポア！を終了します。|中止");
    EXPECT_LT(GetTickCount() - begin, 5000u);
    // Finished before a second: no window at all.
    EXPECT_TRUE(view.waitForStart([] { return true; }, u"x"));
    HWND waiting = FindWindowW(L"WordpourWaiting", nullptr);
    EXPECT_TRUE(!waiting || !IsWindowVisible(waiting));
}

}  // namespace
