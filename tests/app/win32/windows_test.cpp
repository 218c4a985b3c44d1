// The Win32 windows to the letter, under Wine: the dialogs' controls against
// their twips tables, the menus, the icon, the keys that press nothing, and
// the ways the program ends.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/main_window.h"
#include "app/win32/control_ids.h"
#include "app/win32/dialogs.h"
#include "tests/app/win32/window_probe.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace {

using namespace wordpour::testing::win32;
namespace ids = wordpour::app::win32;

struct Font {
    double points;
    bool bold, underline;
};

HWND childWithText(HWND parent, const std::wstring& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (textOf(child) == text) return child;
    return nullptr;
}

class WindowsTest : public ::testing::Test {
protected:
    wordpour::testing::FakeSpreadsheet sheet;
    Form1Window form{[this] { return sheet.attach(); }};
    HWND Form1 = form.window();

    HWND Form2() {
        form.logic().Command6_Click();
        return FindWindowW(nullptr, L"セル位置");
    }
    HWND Form3() {
        form.logic().Version_Click();
        return FindWindowW(nullptr, L"バージョン情報");
    }
};

TEST_F(WindowsTest, TheDialogsControlsStandAtTheirTwipsInTheirFonts) {
    struct Row {
        const wchar_t* form;
        const wchar_t* text;
        Twips at;  // in the window's client area
        Font font;
    };
    const Font plain{9, false, false};
    // The about box's controls inside its frame are placed from the frame's
    // corner (120, 120): their rows add it.
    const Row rows[] = {
        {L"セル位置", L"入力を開始する位置を指定してください。", {120, 120, 1575, 375}, plain},
        {L"セル位置", L"A1", {120, 600, 855, 495}, {20.25, true, false}},
        {L"セル位置", L"指定", {1080, 600, 735, 495}, {9, true, false}},
        {L"バージョン情報", L"Word ! Pour ! version 1.0", {120, 120, 4335, 2295}, plain},
        {L"バージョン情報", L"バージョン１．０", {2880, 480, 1215, 255}, plain},
        {L"バージョン情報", L"ワードポア！", {360, 360, 2415, 375}, {12, true, true}},
        {L"バージョン情報", L"E-Mail Address : ", {1320, 1440, 1455, 255}, plain},
        {L"バージョン情報", L"© 2026", {1320, 840, 1335, 255}, plain},
        {L"バージョン情報", L"Wordpour Project", {1800, 1080, 1695, 255}, {9, true, true}},
        {L"バージョン情報", L"質問は README.md へ", {1800, 1680, 2535, 255}, {9, true, true}},
        {L"バージョン情報", L"URL ：", {240, 1800, 735, 255}, plain},
        {L"バージョン情報", L"同梱の README.md（使い方）", {360, 2040, 3975, 255}, {9, true, true}},
        {L"バージョン情報", L"OK", {120, 2520, 4335, 255}, plain},
    };
    const HWND dialogs[] = {Form2(), Form3()};
    for (HWND dialog : dialogs) ASSERT_NE(dialog, nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at " << r.at.left << "," << r.at.top);
        HWND window = FindWindowW(nullptr, r.form);
        HWND control = childWithText(window, r.text);
        ASSERT_NE(control, nullptr);
        const RECT rect = clientRectIn(control, window);
        EXPECT_EQ(rect.left, r.at.left / 15);
        EXPECT_EQ(rect.top, r.at.top / 15);
        EXPECT_EQ(rect.right - rect.left, r.at.width / 15);
        EXPECT_EQ(rect.bottom - rect.top, r.at.height / 15);
        const LOGFONTW font = fontOf(control);
        EXPECT_EQ(font.lfHeight, -MulDiv(static_cast<int>(r.font.points * 100), 96, 7200));
        EXPECT_EQ(font.lfWeight, r.font.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(font.lfUnderline != 0, r.font.underline);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        const std::wstring face = font.lfFaceName;
        EXPECT_TRUE(face == L"ＭＳ Ｐゴシック" || face == L"MS PGothic" || face == L"Meiryo UI" ||
                    face == L"Yu Gothic UI");
    }
    // Client areas: 1905 x 1155 and 4560 x 2805 twips.
    RECT client;
    GetClientRect(dialogs[0], &client);
    EXPECT_EQ(client.right, 127);
    EXPECT_EQ(client.bottom, 77);
    GetClientRect(dialogs[1], &client);
    EXPECT_EQ(client.right, 304);
    EXPECT_EQ(client.bottom, 187);
}

TEST_F(WindowsTest, TheMenusHaveTheirCaptionsKeysOrderAndSeparators) {
    // Each menu: its caption, then its items; "-" is a separator.
    const std::vector<std::vector<std::wstring>> expected = {
        {L"ﾌｧｲﾙ(&F)", L"ｴｸｾﾙのﾌｧｲﾙを指定(&F)\tCtrl+F", L"-", L"保存しているﾘｽﾄを開く(&O)\tCtrl+O",
         L"現在のﾘｽﾄを保存(&S)\tCtrl+S", L"-", L"終了(&Q)\tCtrl+Q"},
        {L"編集(&E)", L"単語をﾘｽﾄに追加(&A)\tCtrl+A", L"単語をﾘｽﾄから削除(&D)\tCtrl+D", L"-",
         L"元に戻す(&U)\tCtrl+Z"},
        // Beyond the specified items: the last separator and item.
        {L"表示(&V)", L"入力を開始するｾﾙの位置(&P)\tCtrl+P", L"-", L"現在のﾘｽﾄを表示(&L)\tCtrl+L",
         L"-", L"常に手前に表示(&T)"},
        {L"ﾍﾙﾌﾟ(&H)", L"ﾊﾞｰｼﾞｮﾝ情報(&I)\tF1"},
    };
    auto caption = [](HMENU menu, int i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        return std::wstring(text);
    };
    HMENU bar = GetMenu(Form1);
    std::vector<std::vector<std::wstring>> shown;
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        std::vector<std::wstring> menu{caption(bar, m)};
        HMENU popup = GetSubMenu(bar, m);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            MENUITEMINFOW item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE;
            GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &item);
            menu.push_back(item.fType & MFT_SEPARATOR ? std::wstring(L"-") : caption(popup, i));
        }
        shown.push_back(menu);
    }
    EXPECT_EQ(shown, expected);
}

#pragma pack(push, 2)
struct IconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitsPerPixel;
    DWORD bytes;
    WORD id;
};
struct IconGroup {
    WORD reserved, type, count;
    IconEntry entries[1];
};
#pragma pack(pop)

TEST_F(WindowsTest, OneIconOf32And16PixelsIn16ColoursForEveryWindow) {
    HRSRC found = FindResourceW(nullptr, L"WORDPOUR", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_EQ(group->count, 2);
    std::vector<int> sizes;
    for (int i = 0; i < group->count; ++i) {
        const IconEntry& e = group->entries[i];
        sizes.push_back(e.width);
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.colours, 16);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
    for (HWND window : {Form1, Form2(), Form3()})
        EXPECT_NE(GetClassLongPtrW(window, GCLP_HICON), 0u) << textOf(window).size();
}

// The item's check mark follows the state. Whether the windows are then
// kept above is the window manager's to show: without one, Wine does not
// always mark a window topmost, so the end-to-end test checks that in
// openbox (_NET_WM_STATE_ABOVE).
TEST_F(WindowsTest, AlwaysOnTopIsACheckItem) {
    for (const bool on : {true, false, true}) {
        SendMessageW(Form1, WM_COMMAND, ids::kAlwaysOnTop, 0);
        EXPECT_EQ(GetMenuState(GetMenu(Form1), ids::kAlwaysOnTop, MF_BYCOMMAND) & MF_CHECKED,
                  on ? static_cast<UINT>(MF_CHECKED) : 0u);
    }
}

TEST_F(WindowsTest, UndoIsGreyedWhileThereIsNothingToTakeBack) {
    EXPECT_NE(GetMenuState(GetMenu(Form1), ids::kUndo, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST(FileDialog, TheWorkbookFilterIsOneXlsFilter) {
    using namespace std::string_literals;
    EXPECT_EQ(wordpour::app::win32::filterPairs(wordpour::app::kBookFilter),
              L"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)\0*.xls\0\0"s);
}

TEST_F(WindowsTest, EnterAndEscapePressNothingInTheDialogs) {
    HWND dialog = Form2();
    HWND text1 = childWithText(dialog, L"A1");
    ASSERT_NE(text1, nullptr);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SetFocus(text1);
        press(form, key);
        EXPECT_TRUE(IsWindowVisible(dialog)) << key;
        EXPECT_EQ(textOf(text1), L"A1");
    }
    HWND about = Form3();
    SetFocus(childWithText(about, L"OK"));
    press(form, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(WindowsTest, TheAboutBoxLeavesTheMainWindowsFocusWhereItWas) {
    ShowWindow(Form1, SW_SHOW);
    SetForegroundWindow(Form1);
    HWND combo = GetDlgItem(Form1, ids::kCombo1);
    SetFocus(combo);
    press(form, VK_F1);
    HWND about = FindWindowW(nullptr, L"バージョン情報");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    SetForegroundWindow(Form1);
    SetActiveWindow(Form1);
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == combo || GetParent(focus) == combo);
}

TEST_F(WindowsTest, QuitInTheMenuAndTheCloseBoxEndTheProgram) {
    for (const UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
        SCOPED_TRACE(message == WM_CLOSE ? "the close box" : "終了 in the menu");
        PostMessageW(Form1, message, message == WM_COMMAND ? ids::kQuit : 0, 0);
        // Never ended: the loop ends by this timer, with another status.
        const UINT_PTR never =
            SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
        EXPECT_EQ(form.run(), 0);
        KillTimer(nullptr, never);
    }
}

}  // namespace
