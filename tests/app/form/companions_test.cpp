// What is written beside each word: the row in one call, the question that
// names its occupied cells, undo of the row, the running number, and the
// settings kept per workbook.
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::form::Command;
using wordpour::form::Companion;
using wordpour::form::CompanionKind;
using wordpour::form::Companions;
using wordpour::link::spreadsheet::CellContent;
using wordpour::link::spreadsheet::CellValue;
using wordpour::link::spreadsheet::serialOf;
using wordpour::testing::SessionTest;

class SessionCompanions : public SessionTest {
protected:
    // Starts on book.xls with these columns set through the dialog.
    void startWith(std::vector<Companion> columns, long next = 1) {
        ASSERT_TRUE(start());
        Companions set;
        for (std::size_t i = 0; i < columns.size(); ++i) set.columns[i] = columns[i];
        set.nextNumber = next;
        view.companionsAnswer = set;
        session->editCompanions();
        session->setCellName(u"A1");
    }
    std::vector<std::u16string> callsFrom(std::size_t first) const {
        return {sheet.calls.begin() + static_cast<std::ptrdiff_t>(first), sheet.calls.end()};
    }
    static double serialNow(CellValue::Kind kind) {
        return serialOf(
            {.kind = kind, .text = {}, .number = 0, .time = wordpour::form::localNow()});
    }
};

TEST_F(SessionCompanions, EachKindIsWrittenBesideTheWordInOneCall) {
    struct Case {
        CompanionKind column;
        CellValue::Kind kind;  // of the value written
        const char16_t* text;  // a fixed text's, written exactly
    };
    const Case cases[] = {
        {.column = CompanionKind::DateTime, .kind = CellValue::Kind::DateTime, .text = u""},
        {.column = CompanionKind::Date, .kind = CellValue::Kind::Date, .text = u""},
        {.column = CompanionKind::Time, .kind = CellValue::Kind::Time, .text = u""},
        {.column = CompanionKind::Counter, .kind = CellValue::Kind::Number, .text = u""},
        {.column = CompanionKind::FixedText, .kind = CellValue::Kind::Text, .text = u"=山田"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.column));
        SetUp();
        sheet.contents.clear();
        startWith({{c.column, c.text}, {CompanionKind::FixedText, u"ロット7"}}, 41);
        const std::size_t first = sheet.calls.size();
        const double before = c.kind == CellValue::Kind::Number ? 41 : serialNow(c.kind);
        enter(u"りんご");
        const double after = c.kind == CellValue::Kind::Number ? 41 : serialNow(c.kind);
        const auto calls = callsFrom(first);
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0], u"row A2:C2");
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const auto& call) { return call.starts_with(u"row りんご"); }),
                  1);
        EXPECT_EQ(sheet.contents[u"A2"], CellContent::written(u"りんご"));
        EXPECT_EQ(sheet.contents[u"C2"], CellContent::written(u"ロット7"));
        const CellContent beside = sheet.contents[u"B2"];
        if (c.kind == CellValue::Kind::Text) {
            EXPECT_EQ(beside, CellContent::written(c.text));
        } else {
            ASSERT_EQ(beside.kind, CellContent::Kind::Number);
            EXPECT_GE(beside.number, before);
            EXPECT_LE(beside.number, after);
        }
        EXPECT_EQ(session->companions().nextNumber, c.kind == CellValue::Kind::Number ? 42 : 41);
        EXPECT_EQ(session->cellName(), u"A2");
        TearDown();
    }
}

TEST_F(SessionCompanions, TheQuestionNamesTheCellsOfTheRowThatHoldSomething) {
    startWith({{CompanionKind::FixedText, u"x"}, {CompanionKind::FixedText, u"y"}});
    sheet.contents[u"C2"] = {CellContent::Kind::Text, u"人の字"};
    view.answers = {Answer::No};
    enter(u"語");
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_NE(view.shown[0].prompt.find(u"「C2」"), std::u16string::npos);
    EXPECT_EQ(view.shown[0].prompt.find(u"「B2」"), std::u16string::npos);
    EXPECT_EQ(sheet.contents.count(u"A2"), 0u);
    EXPECT_EQ(session->cellName(), u"A1");
    view.answers = {Answer::Yes};
    enter(u"語");
    EXPECT_EQ(sheet.contents[u"C2"], CellContent::written(u"y"));
}

TEST_F(SessionCompanions, UndoTakesTheRowBackAndTheNumberStepsBack) {
    startWith({{CompanionKind::Counter, {}}, {CompanionKind::FixedText, u"山田"}}, 7);
    sheet.contents[u"C3"] = {CellContent::Kind::Text, u"前"};
    view.answers = {Answer::Yes};  // C3 held the person's text
    enter(u"一");
    enter(u"二");
    EXPECT_EQ(session->companions().nextNumber, 9);
    session->undo();
    waitForEntries();
    EXPECT_EQ(sheet.contents[u"A3"], CellContent{});
    EXPECT_EQ(sheet.contents[u"B3"], CellContent{});
    EXPECT_EQ(sheet.contents[u"C3"], (CellContent{CellContent::Kind::Text, u"前"}));
    EXPECT_EQ(sheet.contents[u"B2"], (CellContent{CellContent::Kind::Number, {}, 7}));
    EXPECT_EQ(session->companions().nextNumber, 8);
    view.answers = {Answer::Yes};  // C3 holds the person's text again
    enter(u"三");
    EXPECT_EQ(sheet.contents[u"B3"], (CellContent{CellContent::Kind::Number, {}, 8}));
}

TEST_F(SessionCompanions, AFailedEntryKeepsTheNumber) {
    startWith({{CompanionKind::Counter, {}}}, 5);
    sheet.failures[u"row"] = wordpour::link::spreadsheet::Failure::Value;
    enter(u"一");
    EXPECT_EQ(session->companions().nextNumber, 5);
    sheet.failures.clear();
    enter(u"一");
    EXPECT_EQ(sheet.contents[u"B2"], (CellContent{CellContent::Kind::Number, {}, 5}));
    EXPECT_EQ(session->companions().nextNumber, 6);
}

TEST_F(SessionCompanions, TheJournalKeepsTheRowItsCsvShowsItAndItIsWrittenBackWhole) {
    startWith({{CompanionKind::FixedText, u"棚A"}, {CompanionKind::Counter, {}}}, 1);
    enter(u"a");
    enter(u"b");
    view.answers = {Answer::Yes};
    view.fileNames.push_back(u"record.csv");
    session->run(Command::ShowJournal);
    const std::string csv = wordpour::testing::bytesOf("record.csv");
    EXPECT_NE(csv.find(",セル,単語,1列右,2列右,操作\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",A3,b,棚A,2,入力\r\n"), std::string::npos) << csv;

    // The spreadsheet crashes: started again, it offers the rows back whole.
    session->settleJournal(std::chrono::seconds(5));
    sheet.crash();
    sheet.startApplication();
    view.answers = {Answer::Yes, Answer::Yes};
    enter(u"c");
    EXPECT_EQ(sheet.contents[u"A2"], CellContent::written(u"a"));
    EXPECT_EQ(sheet.contents[u"B2"], CellContent::written(u"棚A"));
    EXPECT_EQ(sheet.contents[u"C3"], (CellContent{CellContent::Kind::Number, {}, 2}));
    EXPECT_EQ(sheet.contents[u"C4"], (CellContent{CellContent::Kind::Number, {}, 3}));
    EXPECT_EQ(session->companions().nextNumber, 4);
}

TEST_F(SessionCompanions, EachWorkbookKeepsItsOwnAndOneWithNoneWritesTheWordAlone) {
    startWith({{CompanionKind::FixedText, u"棚A"}}, 3);
    EXPECT_TRUE(view.checked[Command::Companions]);
    enter(u"一");
    std::ofstream("other.xls") << "stand-in";
    newSession();
    ASSERT_TRUE(start(u"other.xls"));
    EXPECT_FALSE(view.checked[Command::Companions]);
    const std::size_t first = sheet.calls.size();
    session->setCellName(u"D1");
    enter(u"二");
    const auto calls = callsFrom(first);
    EXPECT_NE(std::find(calls.begin(), calls.end(), u"range D2"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), u"value 二"), calls.end());
    newSession();
    ASSERT_TRUE(start(u"book.xls"));
    EXPECT_TRUE(view.checked[Command::Companions]);
    EXPECT_EQ(session->companions().columns[0], (Companion{CompanionKind::FixedText, u"棚A"}));
    EXPECT_EQ(session->companions().nextNumber, 3);
}

}  // namespace
