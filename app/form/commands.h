// The user's commands, and the buttons and menu items that run them: one
// table each, which both faces loop over to build the main window, and one
// run(Command) they dispatch through.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/form/layout.h"

namespace wordpour::form {

enum class Command {
    Add,             // a word at the end of the list
    Delete,          // the entry the word box shows
    Load,            // the words of "List", after the list's
    Enter,           // the word into the cell one row below the current one
    Save,            // the list to "List"
    CellPosition,    // the cell-position dialog
    ShowList,        // the whole list in a message box
    ChooseWorkbook,  // a workbook file, remembered only
    Quit,
    Undo,              // the last entry taken back
    AlwaysOnTop,       // the windows above others, or no longer
    EndOfColumn,       // the cell name to the last filled cell of its column
    ConfirmOverwrite,  // whether an entry asks before writing over what it did not write
    ChangeReading,     // the reading of the word the box shows, as the person says it
    ShowJournal,       // this workbook's recent entries, and a CSV file of them
    Companions,        // what is written beside each word, in this workbook
    About,
};

// A key that runs a command wherever the focus is: Ctrl with a letter, or a
// function key alone.
struct Shortcut {
    enum class Kind { None, CtrlLetter, FunctionKey };
    Kind kind = Kind::None;
    char key = 0;  // the letter 'A'-'Z', or the function key's number

    static constexpr Shortcut ctrl(char letter) { return {Kind::CtrlLetter, letter}; }
    static constexpr Shortcut function(int number) {
        return {Kind::FunctionKey, static_cast<char>(number)};
    }
    bool operator==(const Shortcut&) const = default;
};

// The main window's buttons, in tab order (after the word box). Each has
// the window's plain font and kButtonHeight.
struct ButtonDef {
    Command command;
    std::string_view name;
    std::u16string_view caption;
    TwipsRect rect;
};
// A row a control, as the window reads.
// clang-format off
inline constexpr ButtonDef kButtons[] = {
    {.command = Command::Add, .name = "addButton", .caption = u"リスト追加", .rect = {120, 1320, 1095, kButtonHeight}},
    {.command = Command::Delete, .name = "deleteButton", .caption = u"リスト削除", .rect = {120, 2040, 1095, kButtonHeight}},
    {.command = Command::Load, .name = "loadButton", .caption = u"リスト開く", .rect = {2520, 1320, 1095, kButtonHeight}},
    {.command = Command::Enter, .name = "enterButton", .caption = u"入力", .rect = {120, 600, 2295, kButtonHeight}},
    {.command = Command::Save, .name = "saveButton", .caption = u"リスト保存", .rect = {2520, 2040, 1095, kButtonHeight}},
    {.command = Command::CellPosition, .name = "cellPositionButton", .caption = u"セル位置", .rect = {1320, 1320, 1095, kButtonHeight}},
    {.command = Command::ShowList, .name = "showListButton", .caption = u"リスト表示", .rect = {1320, 2040, 1095, kButtonHeight}},
    {.command = Command::ChooseWorkbook, .name = "chooseWorkbookButton", .caption = u"ファイル選択", .rect = {2520, 600, 1095, kButtonHeight}},
};
// clang-format on

// The button of a command, if it has one.
constexpr const ButtonDef* buttonFor(Command command) {
    for (const ButtonDef& button : kButtons)
        if (button.command == command) return &button;
    return nullptr;
}

// The enter button's caption while the spreadsheet answers at once.
inline constexpr std::u16string_view kEnterCaption = buttonFor(Command::Enter)->caption;

// The menu bar's menus, in its order.
enum class Menu { File, Edit, View, Help };
inline constexpr std::size_t kMenuCount = static_cast<std::size_t>(Menu::Help) + 1;
constexpr std::size_t indexOf(Menu menu) {
    return static_cast<std::size_t>(menu);
}

struct MenuDef {
    Menu menu;
    std::string_view name;
    std::u16string_view caption;
};
inline constexpr MenuDef kMenus[] = {
    {.menu = Menu::File, .name = "fileMenu", .caption = u"ﾌｧｲﾙ(&F)"},
    {.menu = Menu::Edit, .name = "editMenu", .caption = u"編集(&E)"},
    {.menu = Menu::View, .name = "viewMenu", .caption = u"表示(&V)"},
    {.menu = Menu::Help, .name = "helpMenu", .caption = u"ﾍﾙﾌﾟ(&H)"},
};
// Each menu at its own index, so that a face finds it by indexOf().
constexpr bool menusInOrder() {
    for (std::size_t i = 0; i < std::size(kMenus); ++i)
        if (indexOf(kMenus[i].menu) != i) return false;
    return std::size(kMenus) == kMenuCount;
}
static_assert(menusInOrder());

// The menu items, menu by menu in order; an item without a command is a
// separator. `checkable` items show the command's state as a check mark;
// `startsDisabled` ones are enabled by the session when they can act.
struct MenuItemDef {
    Menu menu;
    std::optional<Command> command;
    std::string_view name;
    std::u16string_view caption;
    Shortcut shortcut;
    bool checkable = false;
    bool startsDisabled = false;

    bool separator() const { return !command; }
};
// A line between groups of items.
constexpr MenuItemDef separatorIn(Menu menu) {
    return {.menu = menu, .command = {}, .name = {}, .caption = {}, .shortcut = {}};
}
// A row a control, as the window reads.
// clang-format off
inline constexpr MenuItemDef kMenuItems[] = {
    {.menu = Menu::File, .command = Command::ChooseWorkbook, .name = "chooseWorkbookItem", .caption = u"ｴｸｾﾙのﾌｧｲﾙを指定(&F)", .shortcut = Shortcut::ctrl('F')},
    separatorIn(Menu::File),
    {.menu = Menu::File, .command = Command::Load, .name = "loadItem", .caption = u"保存しているﾘｽﾄを開く(&O)", .shortcut = Shortcut::ctrl('O')},
    {.menu = Menu::File, .command = Command::Save, .name = "saveItem", .caption = u"現在のﾘｽﾄを保存(&S)", .shortcut = Shortcut::ctrl('S')},
    separatorIn(Menu::File),
    {.menu = Menu::File, .command = Command::Quit, .name = "quitItem", .caption = u"終了(&Q)", .shortcut = Shortcut::ctrl('Q')},
    {.menu = Menu::Edit, .command = Command::Add, .name = "addItem", .caption = u"単語をﾘｽﾄに追加(&A)", .shortcut = Shortcut::ctrl('A')},
    {.menu = Menu::Edit, .command = Command::Delete, .name = "deleteItem", .caption = u"単語をﾘｽﾄから削除(&D)", .shortcut = Shortcut::ctrl('D')},
    separatorIn(Menu::Edit),
    {.menu = Menu::Edit, .command = Command::Undo, .name = "undoItem", .caption = u"元に戻す(&U)", .shortcut = Shortcut::ctrl('Z'), .startsDisabled = true},
    separatorIn(Menu::Edit),
    {.menu = Menu::Edit, .command = Command::EndOfColumn, .name = "endOfColumnItem", .caption = u"列の最後へ移動(&E)", .shortcut = Shortcut::ctrl('E')},
    {.menu = Menu::Edit, .command = Command::ConfirmOverwrite, .name = "confirmOverwriteItem", .caption = u"上書きの前に確認(&K)", .shortcut = {}, .checkable = true},
    separatorIn(Menu::Edit),
    {.menu = Menu::Edit, .command = Command::ChangeReading, .name = "changeReadingItem", .caption = u"読みの変更(&R)", .shortcut = Shortcut::ctrl('R')},
    separatorIn(Menu::Edit),
    // Checked while this workbook has columns written beside each word.
    {.menu = Menu::Edit, .command = Command::Companions, .name = "companionsItem", .caption = u"同時に書く列の設定(&C)", .shortcut = {}, .checkable = true},
    {.menu = Menu::View, .command = Command::CellPosition, .name = "cellPositionItem", .caption = u"入力を開始するｾﾙの位置(&P)", .shortcut = Shortcut::ctrl('P')},
    separatorIn(Menu::View),
    {.menu = Menu::View, .command = Command::ShowList, .name = "showListItem", .caption = u"現在のﾘｽﾄを表示(&L)", .shortcut = Shortcut::ctrl('L')},
    {.menu = Menu::View, .command = Command::ShowJournal, .name = "showJournalItem", .caption = u"入力の記録(&J)", .shortcut = {}},
    separatorIn(Menu::View),
    {.menu = Menu::View, .command = Command::AlwaysOnTop, .name = "alwaysOnTopItem", .caption = u"常に手前に表示(&T)", .shortcut = {}, .checkable = true},
    {.menu = Menu::Help, .command = Command::About, .name = "aboutItem", .caption = u"ﾊﾞｰｼﾞｮﾝ情報(&I)", .shortcut = Shortcut::function(1)},
};
// clang-format on

// The shortcut as a menu shows it beside the caption: "Ctrl+F", "F1", or "".
std::u16string shortcutText(Shortcut shortcut);

// How many commands there are, About the last of them.
inline constexpr int kCommandCount = static_cast<int>(Command::About) + 1;

// The commands the tables bind, each counted once: every command has a
// button or a menu item, so a command added after About, which
// kCommandCount would leave out (and the Windows face ignore), stops the
// build here.
constexpr int commandsBound() {
    bool seen[kCommandCount + 16] = {};
    int count = 0;
    const auto see = [&](Command command) {
        if (!seen[static_cast<int>(command)]) ++count;
        seen[static_cast<int>(command)] = true;
    };
    for (const ButtonDef& button : kButtons) see(button.command);
    for (const MenuItemDef& item : kMenuItems)
        if (item.command) see(*item.command);
    return count;
}
static_assert(commandsBound() == kCommandCount,
              "a command after About, or one without a button or menu item");

// The menu item of a command, if it has one.
constexpr const MenuItemDef* menuItemFor(Command command) {
    for (const MenuItemDef& item : kMenuItems)
        if (item.command == command) return &item;
    return nullptr;
}

// A caption as a message names it: without its access key ("(&E)").
std::u16string_view plainCaption(std::u16string_view caption);

}  // namespace wordpour::form
