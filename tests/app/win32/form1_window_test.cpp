// The Win32 windows themselves, under Wine: where each control stands at
// 96 and at 144 dpi, and which keys press what.
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/win32/control_ids.h"
#include "app/win32/main_window.h"
#include "tests/app/win32/window_probe.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace {

using wordpour::app::win32::Form1Window;
using namespace wordpour::testing::win32;
namespace ids = wordpour::app::win32;

class Form1WindowTest : public ::testing::Test {
protected:
    wordpour::testing::FakeSpreadsheet sheet;
    Form1Window form{[this] { return sheet.attach(); }};
    HWND Form1 = form.window();
    HWND control(int id) { return GetDlgItem(Form1, id); }
};

TEST_F(Form1WindowTest, ControlsStandAtTheirTwipsAtEveryDpi) {
    struct Control {
        int id;
        const wchar_t* caption;
        Twips at;
        int fontHeightAt96;  // 9 points: 12 pixels; 20.25 points bold: 27
    };
    const Control controls[] = {
        {ids::kCombo1, L"", {120, 0, 3495, 0}, -27},
        {ids::kCommandBase + 1, L"リスト追加", {120, 1320, 1095, 615}, -12},
        {ids::kCommandBase + 2, L"リスト削除", {120, 2040, 1095, 615}, -12},
        {ids::kCommandBase + 3, L"リスト開く", {2520, 1320, 1095, 615}, -12},
        {ids::kCommandBase + 4, L"入力", {120, 600, 2295, 615}, -12},
        {ids::kCommandBase + 5, L"リスト保存", {2520, 2040, 1095, 615}, -12},
        {ids::kCommandBase + 6, L"セル位置", {1320, 1320, 1095, 615}, -12},
        {ids::kCommandBase + 7, L"リスト表示", {1320, 2040, 1095, 615}, -12},
        {ids::kCommandBase + 8, L"ファイル選択", {2520, 600, 1095, 615}, -12},
    };
    for (const UINT dpi : {96u, 144u}) {
        if (dpi != 96) changeDpi(Form1, dpi, MulDiv(3720, dpi, 1440), MulDiv(2745, dpi, 1440));
        RECT client;
        GetClientRect(Form1, &client);
        EXPECT_EQ(client.right, MulDiv(3720, dpi, 1440)) << dpi;
        EXPECT_EQ(client.bottom, MulDiv(2745, dpi, 1440)) << dpi;
        for (const Control& c : controls) {
            SCOPED_TRACE(testing::Message() << "control " << c.id << " at " << dpi << " dpi");
            HWND window = control(c.id);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(textOf(window), c.caption);
            const RECT r = clientRectIn(window, Form1);
            EXPECT_EQ(r.left, MulDiv(c.at.left, dpi, 1440));
            EXPECT_EQ(r.top, MulDiv(c.at.top, dpi, 1440));
            EXPECT_EQ(r.right - r.left, MulDiv(c.at.width, dpi, 1440));
            if (c.at.height) {
                EXPECT_EQ(r.bottom - r.top, MulDiv(c.at.height, dpi, 1440));
            } else {
                // The word box: 525 twips, or more where its font needs it.
                EXPECT_GE(r.bottom - r.top, MulDiv(525, dpi, 1440));
                EXPECT_LE(r.bottom - r.top, MulDiv(525, dpi, 1440) + MulDiv(8, dpi, 96));
            }
            EXPECT_EQ(fontHeight(window), MulDiv(c.fontHeightAt96, dpi, 96));
        }
    }
}

TEST_F(Form1WindowTest, EnterPressesTheFocusedButtonOnlyAndTheShortcutsWorkInTheWordBox) {
    ShowWindow(Form1, SW_SHOW);
    SetForegroundWindow(Form1);
    // Enter in the word box, and Escape on a button, press nothing.
    SetFocus(control(ids::kCombo1));
    press(form, VK_RETURN);
    EXPECT_EQ(FindWindowW(nullptr, L"セル位置"), nullptr);
    SetFocus(control(ids::kCommandBase + 6));
    press(form, VK_ESCAPE);
    EXPECT_EQ(FindWindowW(nullptr, L"セル位置"), nullptr);
    // Enter on セル位置 shows the dialog with the focus in its text box.
    press(form, VK_RETURN);
    HWND Form2 = FindWindowW(nullptr, L"セル位置");
    ASSERT_NE(Form2, nullptr);
    EXPECT_TRUE(IsWindowVisible(Form2));
    wchar_t className[32] = {};
    GetClassNameW(GetFocus(), className, 32);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_EQ(GetParent(GetFocus()), Form2);
    // F1 with the focus in the word box: one about box, however often.
    SetForegroundWindow(Form1);
    SetFocus(control(ids::kCombo1));
    press(form, VK_F1);
    SetFocus(control(ids::kCombo1));
    press(form, VK_F1);
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

TEST_F(Form1WindowTest, TheAboutBoxPictureKeepsItsNaturalSizeAtEveryDpi) {
    form.logic().Version_Click();
    HWND Form3 = FindWindowW(nullptr, L"バージョン情報");
    ASSERT_NE(Form3, nullptr);
    HWND picture = nullptr;
    EnumChildWindows(
        Form3,
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
        if (dpi != 96) changeDpi(Form3, dpi, MulDiv(4560, dpi, 1440), MulDiv(2805, dpi, 1440));
        const RECT r = clientRectIn(picture, Form3);
        EXPECT_EQ(r.left, MulDiv(240, dpi, 1440)) << dpi;
        EXPECT_EQ(r.top, MulDiv(720, dpi, 1440)) << dpi;
        EXPECT_EQ(r.right - r.left, 65) << dpi;
        EXPECT_EQ(r.bottom - r.top, 65) << dpi;
    }
}

}  // namespace
