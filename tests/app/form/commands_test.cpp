// The windows' tables: first to the letter (every button's caption and
// place, every menu item's caption, shortcut and place, each window's
// title and size, every dialog control), then what must hold of any row a
// change adds. The faces' own tests check that they draw what these
// tables say.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/form/commands.h"
#include "app/form/layout.h"

namespace {

using namespace wordpour::form;

TEST(Tables, TheButtonsInTabOrderWithTheirCaptionsAndTwips) {
    struct Row {
        Command command;
        std::u16string_view caption;
        TwipsRect rect;
    };
    const Row rows[] = {
        {Command::Add, u"リスト追加", {120, 1320, 1095, 615}},
        {Command::Delete, u"リスト削除", {120, 2040, 1095, 615}},
        {Command::Load, u"リスト開く", {2520, 1320, 1095, 615}},
        {Command::Enter, u"入力", {120, 600, 2295, 615}},
        {Command::Save, u"リスト保存", {2520, 2040, 1095, 615}},
        {Command::CellPosition, u"セル位置", {1320, 1320, 1095, 615}},
        {Command::ShowList, u"リスト表示", {1320, 2040, 1095, 615}},
        {Command::ChooseWorkbook, u"ファイル選択", {2520, 600, 1095, 615}},
    };
    ASSERT_EQ(std::size(kButtons), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kButtons[i].command, rows[i].command);
        EXPECT_EQ(kButtons[i].caption, rows[i].caption);
        EXPECT_EQ(kButtons[i].rect, rows[i].rect);
    }
    EXPECT_EQ(kWordBox.rect, (TwipsRect{120, 0, 3495, 525}));
    EXPECT_EQ(kWordBox.font, (FontStyle{20.25, true}));
    EXPECT_EQ(kMainWindow.title, u"ワードポア！");
    EXPECT_EQ(kMainWindow.width, 3720);
    EXPECT_EQ(kMainWindow.height, 2745);
}

TEST(Tables, TheMenusWithTheirCaptionsShortcutsAndSeparators) {
    // Each menu: its caption, then its items as "caption|shortcut"; "-" is a
    // separator.
    const std::vector<std::vector<std::u16string>> expected = {
        {u"ﾌｧｲﾙ(&F)", u"ｴｸｾﾙのﾌｧｲﾙを指定(&F)|Ctrl+F", u"-", u"保存しているﾘｽﾄを開く(&O)|Ctrl+O",
         u"現在のﾘｽﾄを保存(&S)|Ctrl+S", u"-", u"終了(&Q)|Ctrl+Q"},
        {u"編集(&E)", u"単語をﾘｽﾄに追加(&A)|Ctrl+A", u"単語をﾘｽﾄから削除(&D)|Ctrl+D", u"-",
         u"元に戻す(&U)|Ctrl+Z", u"-", u"列の最後へ移動(&E)|Ctrl+E", u"上書きの前に確認(&K)|", u"-",
         u"読みの変更(&R)|Ctrl+R", u"-", u"同時に書く列の設定(&C)|"},
        {u"表示(&V)", u"入力を開始するｾﾙの位置(&P)|Ctrl+P", u"-", u"現在のﾘｽﾄを表示(&L)|Ctrl+L",
         u"入力の記録(&J)|", u"-", u"常に手前に表示(&T)|"},
        {u"ﾍﾙﾌﾟ(&H)", u"ﾊﾞｰｼﾞｮﾝ情報(&I)|F1"},
    };
    std::vector<std::vector<std::u16string>> tables;
    for (const MenuDef& menu : kMenus) tables.push_back({std::u16string(menu.caption)});
    for (const MenuItemDef& item : kMenuItems) {
        tables.at(indexOf(item.menu))
            .push_back(item.separator()
                           ? u"-"
                           : std::u16string(item.caption) + u"|" + shortcutText(item.shortcut));
    }
    EXPECT_EQ(tables, expected);
}

TEST(Tables, TheDialogsWithTheirTitlesControlsAndFonts) {
    struct Row {
        const ControlDef& def;
        std::u16string_view text;
        TwipsRect rect;
        FontStyle font;
    };
    const FontStyle plain{9}, marked{9, true, true};
    const Row rows[] = {
        {kCellPrompt, u"入力を開始する位置を指定してください。", {120, 120, 1575, 375}, plain},
        {kCellNameBox, u"A1", {120, 600, 855, 495}, {20.25, true}},
        {kSetButton, u"指定", {1080, 600, 735, 495}, {9, true}},
        {kAboutFrame, u"Word ! Pour ! version 1.0", {120, 120, 4335, 2295}, plain},
        {kAboutPicture, u"", {120, 600, 975, 975}, plain},
        {kAboutLabels[0], u"バージョン１．０", {2760, 360, 1215, 255}, plain},
        {kAboutLabels[1], u"ワードポア！", {240, 240, 2415, 375}, {12, true, true}},
        {kAboutLabels[2], u"E-Mail Address : ", {1200, 1320, 1455, 255}, plain},
        {kAboutLabels[3], u"© 2026", {1200, 720, 1335, 255}, plain},
        {kAboutLabels[4], u"Wordpour Project", {1680, 960, 1695, 255}, marked},
        {kAboutLabels[5], u"質問は README.md へ", {1680, 1560, 2535, 255}, marked},
        {kAboutLabels[6], u"URL ：", {120, 1680, 735, 255}, plain},
        {kAboutLabels[7], u"同梱の README.md（使い方）", {240, 1920, 3975, 255}, marked},
        {kAboutOk, u"OK", {120, 2520, 4335, 255}, plain},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.def.name));
        EXPECT_EQ(r.def.text, r.text);
        EXPECT_EQ(r.def.rect, r.rect);
        EXPECT_EQ(r.def.font, r.font);
    }
    EXPECT_EQ(kCellPositionDialog.title, u"セル位置");
    EXPECT_EQ(kCellPositionDialog.width, 1905);
    EXPECT_EQ(kCellPositionDialog.height, 1155);
    EXPECT_EQ(kAboutBox.title, u"バージョン情報");
    EXPECT_EQ(kAboutBox.width, 4560);
    EXPECT_EQ(kAboutBox.height, 2805);
}

// The letter of an access key: "X" of "(&X)", or 0.
char16_t accessKey(std::u16string_view caption) {
    const auto at = caption.rfind(u"(&");
    return at == std::u16string_view::npos ? 0 : caption[at + 2];
}

TEST(TableInvariants, EveryCommandIsReachedAndEveryKeyAndNameIsOnce) {
    for (int c = 0; c < kCommandCount; ++c)
        EXPECT_TRUE(buttonFor(Command(c)) || menuItemFor(Command(c))) << "command " << c;
    std::set<std::string_view> names;
    std::set<std::u16string> shortcuts;
    std::set<std::pair<Menu, char16_t>> keys;
    const auto once = [](auto& seen, const auto& what) { return seen.insert(what).second; };
    for (const ButtonDef& button : kButtons) EXPECT_TRUE(once(names, button.name)) << button.name;
    for (const MenuDef& menu : kMenus) {
        EXPECT_TRUE(once(names, menu.name)) << menu.name;
        // The menu bar's own access keys, as a menu of their own.
        EXPECT_TRUE(once(keys, std::pair{Menu(kMenuCount), accessKey(menu.caption)}));
    }
    for (const MenuItemDef& item : kMenuItems) {
        if (item.separator()) continue;
        SCOPED_TRACE(std::string(item.name));
        EXPECT_TRUE(once(names, item.name));
        EXPECT_NE(accessKey(item.caption), 0);
        EXPECT_TRUE(once(keys, std::pair{item.menu, accessKey(item.caption)}));
        if (item.shortcut.kind != Shortcut::Kind::None) {
            EXPECT_TRUE(once(shortcuts, shortcutText(item.shortcut)));
        }
    }
}

TEST(TableInvariants, EveryControlStandsInsideItsWindow) {
    struct Placed {
        std::string_view name;
        TwipsRect rect;
        int width, height;  // of the window, or of the frame holding it
    };
    std::vector<Placed> placed = {
        {kWordBox.name, kWordBox.rect, kMainWindow.width, kMainWindow.height}};
    for (const ButtonDef& b : kButtons)
        placed.push_back({b.name, b.rect, kMainWindow.width, kMainWindow.height});
    for (const ControlDef* c : {&kCellPrompt, &kCellNameBox, &kSetButton})
        placed.push_back({c->name, c->rect, kCellPositionDialog.width, kCellPositionDialog.height});
    for (const ControlDef* c : {&kAboutFrame, &kAboutPicture, &kAboutOk})
        placed.push_back({c->name, c->rect, kAboutBox.width, kAboutBox.height});
    for (const ControlDef& c : kAboutLabels)
        placed.push_back({c.name, c.rect, kAboutFrame.rect.width, kAboutFrame.rect.height});
    for (const ControlDef* c : {&kWaitingText, &kAbortButton})
        placed.push_back({c->name, c->rect, kWaitingWindow.width, kWaitingWindow.height});
    for (const Placed& p : placed) {
        SCOPED_TRACE(std::string(p.name));
        EXPECT_GE(p.rect.left, 0);
        EXPECT_GE(p.rect.top, 0);
        EXPECT_LE(p.rect.left + p.rect.width, p.width);
        EXPECT_LE(p.rect.top + p.rect.height, p.height);
    }
}

}  // namespace
