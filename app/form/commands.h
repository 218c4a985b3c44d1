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
    Undo,         // the last entry taken back
    AlwaysOnTop,  // the windows above others, or no longer
    EndOfColumn,  // the cell name to the last filled cell of its column
    ConfirmOverwrite,  // whether an entry asks before writing over what it did not write
    ChangeReading,     // the reading of the word the box shows, as the person says it
    ShowJournal,       // this workbook's recent entries, and a CSV file of them
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
inline constexpr ButtonDef kButtons[] = {
    {Command::Add, "addButton", u"リスト追加", {120, 1320, 1095, kButtonHeight}},
    {Command::Delete, "deleteButton", u"リスト削除", {120, 2040, 1095, kButtonHeight}},
    {Command::Load, "loadButton", u"リスト開く", {2520, 1320, 1095, kButtonHeight}},
    {Command::Enter, "enterButton", u"入力", {120, 600, 2295, kButtonHeight}},
    {Command::Save, "saveButton", u"リスト保存", {2520, 2040, 1095, kButtonHeight}},
    {Command::CellPosition, "cellPositionButton", u"セル位置", {1320, 1320, 1095, kButtonHeight}},
    {Command::ShowList, "showListButton", u"リスト表示", {1320, 2040, 1095, kButtonHeight}},
    {Command::ChooseWorkbook,
     "chooseWorkbookButton",
     u"ファイル選択",
     {2520, 600, 1095, kButtonHeight}},
};

// The button of a command, if it has one.
constexpr const ButtonDef* buttonFor(Command command) {
    for (const ButtonDef& button : kButtons)
        if (button.command == command) return &button;
    return nullptr;
}

// The enter button's caption while the spreadsheet answers at once.
inline constexpr std::u16string_view kEnterCaption = buttonFor(Command::Enter)->caption;

struct MenuDef {
    std::string_view name;
    std::u16string_view caption;
};
inline constexpr MenuDef kMenus[] = {
    {"fileMenu", u"ﾌｧｲﾙ(&F)"},
    {"editMenu", u"編集(&E)"},
    {"viewMenu", u"表示(&V)"},
    {"helpMenu", u"ﾍﾙﾌﾟ(&H)"},
};

// The menu items, menu by menu in order; an item without a command is a
// separator. `checkable` items show the command's state as a check mark;
// `startsDisabled` ones are enabled by the session when they can act.
struct MenuItemDef {
    int menu;  // index into kMenus
    std::optional<Command> command;
    std::string_view name;
    std::u16string_view caption;
    Shortcut shortcut;
    bool checkable = false;
    bool startsDisabled = false;

    bool separator() const { return !command; }
};
inline constexpr MenuItemDef kMenuItems[] = {
    {0, Command::ChooseWorkbook, "chooseWorkbookItem", u"ｴｸｾﾙのﾌｧｲﾙを指定(&F)",
     Shortcut::ctrl('F')},
    {0, {}, {}, {}, {}},
    {0, Command::Load, "loadItem", u"保存しているﾘｽﾄを開く(&O)", Shortcut::ctrl('O')},
    {0, Command::Save, "saveItem", u"現在のﾘｽﾄを保存(&S)", Shortcut::ctrl('S')},
    {0, {}, {}, {}, {}},
    {0, Command::Quit, "quitItem", u"終了(&Q)", Shortcut::ctrl('Q')},
    {1, Command::Add, "addItem", u"単語をﾘｽﾄに追加(&A)", Shortcut::ctrl('A')},
    {1, Command::Delete, "deleteItem", u"単語をﾘｽﾄから削除(&D)", Shortcut::ctrl('D')},
    {1, {}, {}, {}, {}},
    {1, Command::Undo, "undoItem", u"元に戻す(&U)", Shortcut::ctrl('Z'), false, true},
    {1, {}, {}, {}, {}},
    {1, Command::EndOfColumn, "endOfColumnItem", u"列の最後へ移動(&E)", Shortcut::ctrl('E')},
    {1, Command::ConfirmOverwrite, "confirmOverwriteItem", u"上書きの前に確認(&K)", {}, true},
    {1, {}, {}, {}, {}},
    {1, Command::ChangeReading, "changeReadingItem", u"読みの変更(&R)", Shortcut::ctrl('R')},
    {2, Command::CellPosition, "cellPositionItem", u"入力を開始するｾﾙの位置(&P)",
     Shortcut::ctrl('P')},
    {2, {}, {}, {}, {}},
    {2, Command::ShowList, "showListItem", u"現在のﾘｽﾄを表示(&L)", Shortcut::ctrl('L')},
    {2, Command::ShowJournal, "showJournalItem", u"入力の記録(&J)", {}},
    {2, {}, {}, {}, {}},
    {2, Command::AlwaysOnTop, "alwaysOnTopItem", u"常に手前に表示(&T)", {}, true},
    {3, Command::About, "aboutItem", u"ﾊﾞｰｼﾞｮﾝ情報(&I)", Shortcut::function(1)},
};

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
