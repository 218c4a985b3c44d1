// The windows' geometry and texts, in twips (1/1440 inch), as one table
// each face lays out at the screen's DPI. The buttons and menus of the main
// window are in commands.h.
#pragma once

#include <compare>
#include <string_view>

namespace wordpour::form {

struct TwipsRect {
    int left, top, width, height;
    bool operator==(const TwipsRect&) const = default;
};

struct FontStyle {
    double points;
    bool bold = false;
    bool underline = false;
    auto operator<=>(const FontStyle&) const = default;
};

// The program's Gothic at the windows' own size, and the large bold one of
// the word box and the cell-name box.
inline constexpr FontStyle kPlainFont{9};
inline constexpr FontStyle kBoxFont{20.25, true};
inline constexpr FontStyle kMarkedFont{9, true, true};
// The type-to-find list's entries.
inline constexpr FontStyle kFindListFont{12};
// The most rows the type-to-find list shows at once; more scroll.
inline constexpr int kFindListRows = 8;

// A top-level window: its title and client area.
struct WindowDef {
    std::u16string_view title;
    int width, height;
};

// A control: the name a test or a screen reader finds it by, what it shows,
// where it stands within its window (a frame's labels: within the frame),
// and its font.
struct ControlDef {
    std::string_view name;
    std::u16string_view text;
    TwipsRect rect;
    FontStyle font = kPlainFont;
    // What a screen reader calls a control whose text does not name it (a
    // box the person types into, a list); empty where the text does.
    std::u16string_view spokenName = {};
};

inline constexpr std::u16string_view kProgramTitle = u"ワードポア！";

// The main window. Its word box is 525 twips high unless its font needs
// more; the drop-down's list reaches below the window.
inline constexpr WindowDef kMainWindow{kProgramTitle, 3720, 2745};
inline constexpr ControlDef kWordBox{"wordBox", u"", {120, 0, 3495, 525}, kBoxFont, u"単語"};
// The word box's own drop-down list, and the type-to-find list under it;
// their entries are read as they stand.
inline constexpr std::u16string_view kWordBoxListName = u"単語の一覧";
inline constexpr std::u16string_view kFindListName = u"一致する単語";
inline constexpr int kButtonHeight = 615;

// The cell-position dialog.
inline constexpr WindowDef kCellPositionDialog{u"セル位置", 1905, 1155};
inline constexpr ControlDef kCellPrompt{
    "cellPrompt", u"入力を開始する位置を指定してください。", {120, 120, 1575, 375}};
inline constexpr ControlDef kCellNameBox{
    "cellNameBox", u"A1", {120, 600, 855, 495}, kBoxFont, u"セル位置"};
inline constexpr ControlDef kSetButton{"setButton", u"指定", {1080, 600, 735, 495}, {9, true}};

// The dialog of the columns written with each word: per column right of
// the word's, its kind and (for a fixed text) the text; the running
// number's next value; OK and Cancel. Each row's kind list names the
// kinds of kCompanionKinds.
inline constexpr WindowDef kCompanionsDialog{u"同時に書く列の設定", 5640, 3480};
inline constexpr ControlDef kCompanionsPrompt{
    "companionsPrompt",
    u"単語の右の列に、単語と同時に書く内容を選んでください。",
    {120, 120, 5400, 255}};
struct CompanionRowDef {
    ControlDef label, kind, text;
};
// A row a column, as the dialog reads.
// clang-format off
inline constexpr CompanionRowDef kCompanionRows[] = {
    {.label = {.name = "column1Label", .text = u"1列右(&1)", .rect = {120, 540, 1095, 255}},
     .kind = {.name = "column1Kind", .text = u"", .rect = {1320, 480, 1455, 375}, .spokenName = u"1列右の内容"},
     .text = {.name = "column1Text", .text = u"", .rect = {2880, 480, 2640, 375}, .spokenName = u"1列右の固定の文字"}},
    {.label = {.name = "column2Label", .text = u"2列右(&2)", .rect = {120, 1020, 1095, 255}},
     .kind = {.name = "column2Kind", .text = u"", .rect = {1320, 960, 1455, 375}, .spokenName = u"2列右の内容"},
     .text = {.name = "column2Text", .text = u"", .rect = {2880, 960, 2640, 375}, .spokenName = u"2列右の固定の文字"}},
    {.label = {.name = "column3Label", .text = u"3列右(&3)", .rect = {120, 1500, 1095, 255}},
     .kind = {.name = "column3Kind", .text = u"", .rect = {1320, 1440, 1455, 375}, .spokenName = u"3列右の内容"},
     .text = {.name = "column3Text", .text = u"", .rect = {2880, 1440, 2640, 375}, .spokenName = u"3列右の固定の文字"}},
    {.label = {.name = "column4Label", .text = u"4列右(&4)", .rect = {120, 1980, 1095, 255}},
     .kind = {.name = "column4Kind", .text = u"", .rect = {1320, 1920, 1455, 375}, .spokenName = u"4列右の内容"},
     .text = {.name = "column4Text", .text = u"", .rect = {2880, 1920, 2640, 375}, .spokenName = u"4列右の固定の文字"}},
};
// clang-format on
inline constexpr ControlDef kNextNumberLabel{
    "nextNumberLabel", u"次の連番(&N)", {120, 2520, 1095, 255}};
inline constexpr ControlDef kNextNumberBox{
    "nextNumberBox", u"", {1320, 2460, 1455, 375}, kPlainFont, u"次の連番"};
inline constexpr ControlDef kCompanionsOk{"okButton", u"OK", {3000, 2940, 1215, 375}};
inline constexpr ControlDef kCompanionsCancel{"cancelButton", u"ｷｬﾝｾﾙ", {4305, 2940, 1215, 375}};
// What the dialog says of a next value that is not a whole number.
inline constexpr std::u16string_view kNextNumberRefused = u"次の連番には整数を入力してください。";

// The about box: a frame, its picture at its natural size (65 by 65
// pixels), its labels, and OK below the frame.
inline constexpr WindowDef kAboutBox{u"バージョン情報", 4560, 2805};
inline constexpr ControlDef kAboutFrame{
    "aboutFrame", u"Word ! Pour ! version 1.0", {120, 120, 4335, 2295}};
inline constexpr ControlDef kAboutPicture{"picture", u"", {120, 600, 975, 975}};
// A row a label, as the box reads.
// clang-format off
inline constexpr ControlDef kAboutLabels[] = {
    {.name = "versionLabel", .text = u"バージョン１．０", .rect = {2760, 360, 1215, 255}},
    {.name = "nameLabel", .text = u"ワードポア！", .rect = {240, 240, 2415, 375}, .font = {12, true, true}},
    {.name = "mailCaption", .text = u"E-Mail Address : ", .rect = {1200, 1320, 1455, 255}},
    {.name = "copyrightLabel", .text = u"© 2026", .rect = {1200, 720, 1335, 255}},
    {.name = "authorLabel", .text = u"Wordpour Project", .rect = {1680, 960, 1695, 255}, .font = kMarkedFont},
    // No mailbox stands behind the program: the label says where help is.
    {.name = "helpLabel", .text = u"質問は README.md へ", .rect = {1680, 1560, 2535, 255}, .font = kMarkedFont},
    {.name = "urlCaption", .text = u"URL ：", .rect = {120, 1680, 735, 255}},
    {.name = "urlLabel", .text = u"同梱の README.md（使い方）", .rect = {240, 1920, 3975, 255}, .font = kMarkedFont},
};
// clang-format on
inline constexpr ControlDef kAboutOk{"okButton", u"OK", {120, 2520, 4335, 255}};

// The window that shows while the start-up waits for the spreadsheet: its
// text is worded with the application's name; 中止 ends the program.
inline constexpr WindowDef kWaitingWindow{kProgramTitle, 4500, 1290};
inline constexpr ControlDef kWaitingText{"waitingText", u"", {120, 120, 4260, 495}};
inline constexpr ControlDef kAbortButton{"abortButton", u"中止", {3120, 735, 1260, 435}};
inline constexpr int kShowStartWaitingAfterMs = 1000;

// A face shows that the spreadsheet is slow to answer once an entry has
// been under way this long: the enter button then reads kWaitingCaption.
inline constexpr int kShowWaitingAfterMs = 400;
inline constexpr std::u16string_view kWaitingCaption = u"応答待ち…";

}  // namespace wordpour::form
