// The Win32 windows to the letter, under Wine: the dialogs' controls against
// their twips tables, the menus, the icon, the keys that press nothing, and
// the ways the program ends.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/form/entry_session.h"
#include "app/win32/companions_dialog.h"
#include "app/win32/control_ids.h"
#include "app/win32/dialogs.h"
#include "app/win32/settings_file.h"
#include "app/win32/spoken_name.h"
#include "tests/app/win32/window_probe.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace {

using wordpour::win32::MainWindow;
using namespace wordpour::testing::win32;
namespace form = wordpour::form;
namespace ids = wordpour::win32;

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

HWND childWithText(HWND parent, const std::wstring& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (textOf(child) == text) return child;
    return nullptr;
}

class WindowsTest : public ::testing::Test {
protected:
    wordpour::testing::FakeSpreadsheet sheet;
    MainWindow main{stubBackend(sheet)};
    HWND window = main.window();

    HWND cellPosition() {
        main.session().showCellPosition();
        return FindWindowW(nullptr, L"セル位置");
    }
    HWND about() {
        main.session().showAbout();
        return FindWindowW(nullptr, L"バージョン情報");
    }
};

// Every dialog control where the tables put it, in its font.
TEST_F(WindowsTest, TheDialogsControlsStandAtTheirTwipsInTheirFonts) {
    struct Row {
        HWND dialog;
        const form::ControlDef& def;
        int left, top;  // in the window's client area: a frame's labels add its corner
    };
    const HWND dialogs[] = {cellPosition(), about()};
    for (HWND dialog : dialogs) ASSERT_NE(dialog, nullptr);
    const form::TwipsRect frame = form::kAboutFrame.rect;
    std::vector<Row> rows;
    for (const form::ControlDef* c : {&form::kCellPrompt, &form::kCellNameBox, &form::kSetButton})
        rows.push_back({dialogs[0], *c, c->rect.left, c->rect.top});
    for (const form::ControlDef* c : {&form::kAboutFrame, &form::kAboutOk})
        rows.push_back({dialogs[1], *c, c->rect.left, c->rect.top});
    for (const form::ControlDef& c : form::kAboutLabels)
        rows.push_back({dialogs[1], c, frame.left + c.rect.left, frame.top + c.rect.top});
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.def.name));
        HWND control = childWithText(r.dialog, wide(r.def.text));
        ASSERT_NE(control, nullptr);
        const RECT rect = clientRectIn(control, r.dialog);
        EXPECT_EQ(rect.left, r.left / 15);
        EXPECT_EQ(rect.top, r.top / 15);
        EXPECT_EQ(rect.right - rect.left, r.def.rect.width / 15);
        EXPECT_EQ(rect.bottom - rect.top, r.def.rect.height / 15);
        const LOGFONTW font = fontOf(control);
        EXPECT_EQ(font.lfHeight, -MulDiv(static_cast<int>(r.def.font.points * 100), 96, 7200));
        EXPECT_EQ(font.lfWeight, r.def.font.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(font.lfUnderline != 0, r.def.font.underline);
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

// The menus as the tables give them, each shortcut after a tab.
TEST_F(WindowsTest, TheMenusHaveTheirCaptionsKeysOrderAndSeparators) {
    std::vector<std::vector<std::wstring>> expected;
    for (const form::MenuDef& menu : form::kMenus) expected.push_back({wide(menu.caption)});
    for (const form::MenuItemDef& item : form::kMenuItems) {
        std::wstring caption = L"-";
        if (!item.separator()) {
            caption = wide(item.caption);
            if (item.shortcut.kind != form::Shortcut::Kind::None)
                caption += L"\t" + wide(form::shortcutText(item.shortcut));
        }
        expected.at(form::indexOf(item.menu)).push_back(caption);
    }
    auto caption = [](HMENU menu, int i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        return std::wstring(text);
    };
    HMENU bar = GetMenu(window);
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
    for (HWND each : {window, cellPosition(), about()})
        EXPECT_NE(GetClassLongPtrW(each, GCLP_HICON), 0u) << textOf(each).size();
}

// The item's check mark follows the state. Whether the windows are then
// kept above is the window manager's to show: without one, Wine does not
// always mark a window topmost, so the end-to-end test checks that in
// openbox (_NET_WM_STATE_ABOVE).
TEST_F(WindowsTest, AlwaysOnTopIsACheckItem) {
    for (const bool on : {true, false, true}) {
        const int id = ids::commandId(form::Command::AlwaysOnTop);
        SendMessageW(window, WM_COMMAND, id, 0);
        EXPECT_EQ(GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED,
                  on ? static_cast<UINT>(MF_CHECKED) : 0u);
    }
}

// The dialog of the columns written with each word, from its table: each
// row's label and text box at their twips, its boxes named for a screen
// reader (where the system's annotation service is: Wine has none); a
// column after なし disabled; OK hands the session what was set, and the
// menu item is checked.
TEST_F(WindowsTest, TheCompanionsDialogSetsTheColumns) {
    const HWND dialog = main.companionsDialog().window();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(dialog), wide(form::kCompanionsDialog.title));
    const bool annotated = wordpour::win32::setSpokenName(dialog, form::kCompanionsDialog.title);
    HWND kinds[form::kMaxCompanions], texts[form::kMaxCompanions];
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
        const form::CompanionRowDef& row = form::kCompanionRows[i];
        kinds[i] = GetDlgItem(dialog, ids::kCompanionKindId + static_cast<int>(i));
        texts[i] = GetDlgItem(dialog, ids::kCompanionTextId + static_cast<int>(i));
        ASSERT_TRUE(kinds[i] && texts[i]);
        ASSERT_NE(childWithText(dialog, wide(row.label.text)), nullptr);
        const RECT rect = clientRectIn(texts[i], dialog);
        EXPECT_EQ(rect.left, row.text.rect.left / 15);
        EXPECT_EQ(rect.top, row.text.rect.top / 15);
        EXPECT_EQ(SendMessageW(kinds[i], CB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(std::size(form::kCompanionKinds)));
        if (annotated) {
            EXPECT_EQ(heardName(kinds[i]), wide(row.kind.spokenName));
            EXPECT_EQ(heardName(texts[i]), wide(row.text.spokenName));
        }
    }
    for (const form::ControlDef& button : {form::kCompanionsOk, form::kCompanionsCancel})
        EXPECT_EQ(heardName(childWithText(dialog, wide(button.text))), wide(button.text));
    const HWND number = GetDlgItem(dialog, ids::kNextNumberId);
    static const wchar_t kName[] = L"山田", kNext[] = L"7";
    PostMessageW(kinds[0], CB_SETCURSEL, 1, 0);  // 日時
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kCompanionKindId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(kinds[0]));
    PostMessageW(kinds[1], CB_SETCURSEL, 5, 0);  // 固定の文字
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kCompanionKindId + 1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(kinds[1]));
    // Typed, as a text cannot be posted.
    for (const wchar_t c : std::wstring_view(kName)) PostMessageW(texts[1], WM_CHAR, c, 1);
    PostMessageW(number, EM_SETSEL, 0, -1);
    PostMessageW(number, WM_CHAR, kNext[0], 1);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    main.session().run(form::Command::Companions);
    EXPECT_TRUE(IsWindowEnabled(kinds[2]));
    EXPECT_FALSE(IsWindowEnabled(kinds[3]));
    EXPECT_FALSE(IsWindowEnabled(texts[0]));
    EXPECT_TRUE(IsWindowEnabled(texts[1]));
    const form::Companions& set = main.session().companions();
    EXPECT_EQ(set.columns[0].kind, form::CompanionKind::DateTime);
    EXPECT_EQ(set.columns[1], (form::Companion{form::CompanionKind::FixedText, u"山田"}));
    EXPECT_EQ(set.nextNumber, 7);
    EXPECT_NE(
        GetMenuState(GetMenu(window), ids::commandId(form::Command::Companions), MF_BYCOMMAND) &
            MF_CHECKED,
        0u);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(WindowsTest, UndoIsGreyedWhileThereIsNothingToTakeBack) {
    EXPECT_NE(GetMenuState(GetMenu(window), ids::commandId(form::Command::Undo), MF_BYCOMMAND) &
                  MF_GRAYED,
              0u);
}

// Where a file stands in the settings folder's place, the choice is not
// kept and the face says which file and why (the session words it).
TEST(SettingsFile, AChoiceThatCannotBeKeptSaysWhichFileAndWhy) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring home = std::wstring(temp) + L"wordpour-settings-test";
    CreateDirectoryW(home.c_str(), nullptr);
    const std::wstring folder = home + L"\\wordpour";
    RemoveDirectoryW(folder.c_str());
    HANDLE file = CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH);
    SetEnvironmentVariableW(L"APPDATA", home.c_str());
    const auto notKept = wordpour::win32::writeSetting("confirmOverwrite", false);
    SetEnvironmentVariableW(L"APPDATA", saved);
    DeleteFileW(folder.c_str());
    RemoveDirectoryW(home.c_str());
    ASSERT_TRUE(notKept.has_value());
    EXPECT_EQ(notKept->file.wstring(), folder + L"\\wordpour.ini");
    EXPECT_EQ(notKept->error.cause, wordpour::base::FileCause::NotAFolder);
}

TEST(FileDialog, AFilterBecomesTheDialogsPairs) {
    using namespace std::string_literals;
    EXPECT_EQ(wordpour::win32::filterPairs(u"Text|*.txt;*.csv"), L"Text\0*.txt;*.csv\0\0"s);
}

TEST_F(WindowsTest, EnterAndEscapePressNothingInTheDialogs) {
    HWND dialog = cellPosition();
    HWND name = childWithText(dialog, L"A1");
    ASSERT_NE(name, nullptr);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SetFocus(name);
        press(main, key);
        EXPECT_TRUE(IsWindowVisible(dialog)) << key;
        EXPECT_EQ(textOf(name), L"A1");
    }
    HWND box = about();
    SetFocus(childWithText(box, L"OK"));
    press(main, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(WindowsTest, TheAboutBoxLeavesTheMainWindowsFocusWhereItWas) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    HWND combo = main.wordBox();
    SetFocus(combo);
    press(main, VK_F1);
    HWND box = FindWindowW(nullptr, L"バージョン情報");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(box));
    SetForegroundWindow(window);
    SetActiveWindow(window);
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == combo || GetParent(focus) == combo);
}

TEST_F(WindowsTest, QuitInTheMenuAndTheCloseBoxEndTheProgram) {
    for (const UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
        SCOPED_TRACE(message == WM_CLOSE ? "the close box" : "終了 in the menu");
        PostMessageW(window, message,
                     message == WM_COMMAND ? ids::commandId(form::Command::Quit) : 0, 0);
        // Never ended: the loop ends by this timer, with another status.
        const UINT_PTR never =
            SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
        EXPECT_EQ(main.run(), 0);
        KillTimer(nullptr, never);
    }
}

}  // namespace
