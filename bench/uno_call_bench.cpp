// Times single UNO calls of a word entry against a real headless Calc: what
// one round trip costs, and which calls cost more in the office. With
// "shown", in a shown workbook window, 20 ms apart as a person presses,
// which is where the office's repainting counts. Prints figures; asserts
// nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <osl/file.hxx>

#include "link/spreadsheet/calc/side_call.h"
#include "link/spreadsheet/calc/uno_connection.h"
#include "tests/support/test_office.h"

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using wordpour::link::spreadsheet::calc::toUno;

double median(const std::function<void(int)>& call, int count, std::chrono::milliseconds pace) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(pace);
        const auto start = std::chrono::steady_clock::now();
        call(i);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const bool shown = argc > 2 && std::string(argv[2]) == "shown";
    const auto pace = std::chrono::milliseconds(shown ? 20 : 0);
    wordpour::testing::TestOffice office("wordpour-calls-" + std::to_string(getpid()));
    wordpour::testing::TempDir dir;
    const std::string path = dir.path() + "/calls.xls";
    office.createWorkbook(path, {u"Sheet1"});

    auto context =
        wordpour::link::spreadsheet::calc::connect(wordpour::testing::u16(office.pipe()));
    auto desktop = css::frame::Desktop::create(context);
    css::uno::Sequence<css::beans::PropertyValue> hidden(1);
    hidden.getArray()[0].Name = "Hidden";
    hidden.getArray()[0].Value <<= !shown;
    rtl::OUString url;
    osl::FileBase::getFileURLFromSystemPath(rtl::OUString::createFromAscii(path.c_str()), url);
    Reference<css::sheet::XSpreadsheetDocument> document(
        desktop->loadComponentFromURL(url, "_blank", 0, hidden), UNO_QUERY_THROW);
    Reference<css::sheet::XSpreadsheet> sheet(document->getSheets()->getByName("Sheet1"),
                                              UNO_QUERY_THROW);
    Reference<css::container::XNamed> named(sheet, UNO_QUERY_THROW);
    auto name = [](int i) {
        return toUno(u"B1" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
    };

    wordpour::link::spreadsheet::calc::SideCall side, text, date;
    const struct {
        const char* what;
        std::function<void(int)> call;
    } calls[] = {
        {"XNamed::getName", [&](int) { (void)named->getName(); }},
        {"getCellRangeByName", [&](int i) { (void)sheet->getCellRangeByName(name(i)); }},
        {"getCellRangeByName + query XTextRange",
         [&](int i) {
             Reference<css::text::XTextRange> text(sheet->getCellRangeByName(name(i)),
                                                   UNO_QUERY_THROW);
         }},
        {"getCellByPosition", [&](int i) { (void)sheet->getCellByPosition(1, 10 + i % 10); }},
        {"XTextRange::setString", [&, cell = Reference<css::text::XTextRange>(
                                          sheet->getCellByPosition(2, 2), UNO_QUERY_THROW)](
                                      int) { cell->setString("りんご"); }},
        {"XCell::setFormula",
         [&, cell = sheet->getCellByPosition(3, 3)](int) { cell->setFormula("'りんご"); }},
        {"getCellByPosition, setFormula",
         [&](int i) { sheet->getCellByPosition(1, 10 + i % 10)->setFormula("'りんご"); }},
        {"getName, getCellByPosition, setFormula",
         [&](int i) {
             (void)named->getName();
             sheet->getCellByPosition(1, 10 + i % 10)->setFormula("'りんご");
         }},
        {"getName beside getCellByPosition, setFormula",
         [&](int i) {
             auto asked = side.start([&] { (void)named->getName(); });
             auto cell = sheet->getCellByPosition(1, 10 + i % 10);
             asked.get();
             cell->setFormula("'りんご");
         }},
        {"the same, each into a new row",
         [&](int i) {
             auto asked = side.start([&] { (void)named->getName(); });
             auto cell = sheet->getCellByPosition(4, 100 + i);
             asked.get();
             cell->setFormula("'りんご");
         }},
        // A row: the word and two values beside it, each into a new row.
        {"row: setDataArray on 3 cells",
         [&](int i) {
             Reference<css::sheet::XCellRangeData> row(
                 sheet->getCellRangeByPosition(6, 100 + i, 8, 100 + i), UNO_QUERY_THROW);
             const css::uno::Any cells[] = {css::uno::Any(rtl::OUString("りんご")),
                                            css::uno::Any(46365.5),
                                            css::uno::Any(rtl::OUString("ロット"))};
             const css::uno::Sequence<css::uno::Any> values(cells, 3);
             row->setDataArray(css::uno::Sequence<css::uno::Sequence<css::uno::Any>>(&values, 1));
         }},
        {"row: setFormulaArray on 3 cells",
         [&](int i) {
             Reference<css::sheet::XCellRangeFormula> row(
                 sheet->getCellRangeByPosition(10, 100 + i, 12, 100 + i), UNO_QUERY_THROW);
             const rtl::OUString cells[] = {"'りんご", "46365.5", "'ロット"};
             const css::uno::Sequence<rtl::OUString> inputs(cells, 3);
             row->setFormulaArray(
                 css::uno::Sequence<css::uno::Sequence<rtl::OUString>>(&inputs, 1));
         }},
        {"row: 3 x getCellByPosition, setFormula",
         [&](int i) {
             sheet->getCellByPosition(14, 100 + i)->setFormula("'りんご");
             sheet->getCellByPosition(15, 100 + i)->setValue(46365.5);
             sheet->getCellByPosition(16, 100 + i)->setFormula("'ロット");
         }},
        {"row: 3 cells side by side, date typed",
         [&](int i) {
             auto word = sheet->getCellByPosition(22, 100 + i);
             auto lot =
                 text.start([&] { sheet->getCellByPosition(23, 100 + i)->setFormula("'ロット"); });
             auto at = date.start([&] {
                 Reference<css::beans::XPropertySet>(sheet->getCellByPosition(24, 100 + i),
                                                     UNO_QUERY_THROW)
                     ->setPropertyValue("FormulaLocal",
                                        css::uno::Any(rtl::OUString("2026-12-09 13:45:30")));
             });
             word->setFormula("'りんご");
             lot.get();
             at.get();
         }},
        {"a cell's NumberFormat set",
         [&](int i) {
             Reference<css::beans::XPropertySet>(sheet->getCellByPosition(18, 100 + i),
                                                 UNO_QUERY_THROW)
                 ->setPropertyValue("NumberFormat", css::uno::Any(sal_Int32(50)));
         }},
        {"a date typed: FormulaLocal",
         [&](int i) {
             Reference<css::beans::XPropertySet>(sheet->getCellByPosition(20, 100 + i),
                                                 UNO_QUERY_THROW)
                 ->setPropertyValue("FormulaLocal",
                                    css::uno::Any(rtl::OUString("2026-12-09 13:45:30")));
         }},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : calls) {
            const double ms = median(c.call, count, pace);
            if (round == 1) std::printf("%-40s median %.3f ms\n", c.what, ms);
        }
    }
}
