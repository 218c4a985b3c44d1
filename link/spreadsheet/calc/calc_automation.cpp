// The automation interface over LibreOffice Calc's UNO API.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <osl/process.h>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindowListener.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/awt/XWindowListener.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/DocumentEvent.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/XDocumentEventBroadcaster.hpp>
#include <com/sun/star/document/XDocumentEventListener.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/FeatureStateEvent.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStatusListener.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/PathSubstitution.hpp>
#include <com/sun/star/util/URL.hpp>
#include <com/sun/star/util/URLTransformer.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <rtl/ref.hxx>

#include "cells/cell_address.h"
#include "link/spreadsheet/automation.h"
#include "link/spreadsheet/calc/calc_backend.h"
#include "link/spreadsheet/calc/cell_values.h"
#include "link/spreadsheet/calc/office_process.h"
#include "link/spreadsheet/calc/side_call.h"
#include "link/spreadsheet/calc/stale_lock.h"
#include "link/spreadsheet/calc/uno_connection.h"
#include "link/spreadsheet/literal_text.h"

namespace wordpour::link::spreadsheet::calc {

namespace {

using calc::fromUno;
using calc::toUno;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using rtl::OUString;

// Follows whether a workbook window is shown, from the office's own
// notifications, so that an entry asks the office to show the window only
// when it is hidden: one round trip fewer on every entry. The office calls
// back on a bridge thread, hence the atomic.
class VisibilityWatch final : public cppu::WeakImplHelper1<css::awt::XWindowListener> {
public:
    std::atomic<bool> shown{false};

    void SAL_CALL windowShown(const css::lang::EventObject&) override { shown = true; }
    void SAL_CALL windowHidden(const css::lang::EventObject&) override { shown = false; }
    void SAL_CALL disposing(const css::lang::EventObject&) override { shown = false; }
    void SAL_CALL windowResized(const css::awt::WindowEvent&) override {}
    void SAL_CALL windowMoved(const css::awt::WindowEvent&) override {}
};

// Whether a workbook was saved under another name (Save As): only then
// does its URL change, so an entry asks for it only then, never on the way
// of every word. Called back on a bridge thread, hence the atomic.
class SavedAsWatch final : public cppu::WeakImplHelper1<css::document::XDocumentEventListener> {
public:
    std::atomic<std::uint64_t> saves{0};

    void SAL_CALL documentEventOccured(const css::document::DocumentEvent& event) override {
        if (event.EventName == "OnSaveAsDone") ++saves;
    }
    void SAL_CALL disposing(const css::lang::EventObject&) override {}
};

// A workbook window: what "the application is visible" means for Calc.
struct WatchedWindow {
    Reference<css::awt::XWindow> window;
    rtl::Reference<VisibilityWatch> watch;
};

// Whether the person is editing a cell of a workbook's window (typing into
// it, or F2): then the person's Enter writes the edit into that cell, over
// whatever Wordpour wrote there meanwhile. Calc's API has no such state; a
// command that only cell editing enables (inserting a date field) has, and
// the office says it when asked. Asking costs round trips, and a listener
// kept on the command makes the office busier on every entry, so the office
// is asked only when its window has been active since it was last found
// not editing: a person edits only there, and coming back to Wordpour to
// press 入力 leaves it. The same holds for merging cells (CalcWorksheet).
// Called back on a bridge thread, hence the atomic.
class ActivityWatch final : public cppu::WeakImplHelper1<css::awt::XTopWindowListener> {
public:
    // How often the window was activated: a check made at one count holds
    // until the next.
    std::atomic<std::uint64_t> activations{0};

    void SAL_CALL windowActivated(const css::lang::EventObject&) override { ++activations; }
    void SAL_CALL windowDeactivated(const css::lang::EventObject&) override {}
    void SAL_CALL windowOpened(const css::lang::EventObject&) override {}
    void SAL_CALL windowClosing(const css::lang::EventObject&) override {}
    void SAL_CALL windowClosed(const css::lang::EventObject&) override {}
    void SAL_CALL windowMinimized(const css::lang::EventObject&) override {}
    void SAL_CALL windowNormalized(const css::lang::EventObject&) override {}
    void SAL_CALL disposing(const css::lang::EventObject&) override {}
};

// The command's state, as the office reports it to a listener at once.
class StateProbe final : public cppu::WeakImplHelper1<css::frame::XStatusListener> {
public:
    std::atomic<bool> enabled{false};

    void SAL_CALL statusChanged(const css::frame::FeatureStateEvent& event) override {
        enabled = event.IsEnabled;
    }
    void SAL_CALL disposing(const css::lang::EventObject&) override {}
};

// A workbook window's editing, and the view that tells which cell it is.
struct WatchedEditing {
    Reference<css::awt::XTopWindow> window;
    rtl::Reference<ActivityWatch> watch;
    Reference<css::frame::XDispatch> dispatch;
    css::util::URL command;
    Reference<css::view::XSelectionSupplier> view;

    // The window's activations when it was last found not editing.
    mutable std::optional<std::uint64_t> idleAt;

    // Whether the cell at `at` of the sheet `sheetIndex` gives is being
    // edited. No call unless the window was active since it was last found
    // idle.
    bool edits(const std::function<sal_Int16()>& sheetIndex, const cells::CellAddress& at) const {
        const std::uint64_t visits = watch->activations;
        if (idleAt == visits) return false;
        rtl::Reference<StateProbe> probe(new StateProbe);
        dispatch->addStatusListener(probe.get(), command);  // answered at once
        dispatch->removeStatusListener(probe.get(), command);
        if (!probe->enabled) {
            // Editing starts only in the active window, and 入力 is pressed
            // in Wordpour's: not now, then not before the office's window is
            // active again.
            idleAt = visits;
            return false;
        }
        Reference<css::sheet::XCellRangeAddressable> cursor(view->getSelection(), UNO_QUERY);
        if (!cursor.is()) return false;
        const auto edited = cursor->getRangeAddress();
        return edited.StartColumn == at.column && edited.StartRow == at.row &&
               edited.Sheet == sheetIndex();
    }
};

// What the objects taken from one attachment share.
struct Office {
    Reference<css::uno::XComponentContext> context;
    Reference<css::frame::XDesktop2> desktop;
    // The windows of the workbooks opened through this attachment.
    std::vector<WatchedWindow> windows;
    std::vector<std::shared_ptr<WatchedEditing>> editing;
    // The workbooks whose Save As is watched.
    std::vector<std::pair<Reference<css::document::XDocumentEventBroadcaster>,
                          rtl::Reference<SavedAsWatch>>>
        saved;

    ~Office() {
        for (auto& [window, watch] : windows) {
            try {
                window->removeWindowListener(watch.get());
            } catch (const css::uno::Exception&) {
                // The office has gone: nothing to unregister from.
            }
        }
        for (auto& watched : editing) {
            try {
                watched->window->removeTopWindowListener(watched->watch.get());
            } catch (const css::uno::Exception&) {
                // Likewise.
            }
        }
        for (auto& [document, watch] : saved) {
            try {
                document->removeDocumentEventListener(watch.get());
            } catch (const css::uno::Exception&) {
                // Likewise.
            }
        }
    }
};

// Runs one UNO call and turns whatever it throws into an Error. A bridge
// that has gone (office killed or quit) or an object whose document was
// closed throws DisposedException.
template <class Call>
auto guarded(Failure failure, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const Error&) {
        throw;
    } catch (const css::lang::DisposedException& e) {
        throw Error(Failure::Disconnected, fromUno(e.Message));
    } catch (const css::uno::Exception& e) {
        throw Error(failure, fromUno(e.Message));
    }
}

OUString fileUrl(std::u16string_view path) {
    if (path.empty()) throw Error(Failure::Open, u"no file was chosen");
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(toUno(path), url) != osl::FileBase::E_None) {
        throw Error(Failure::Open, u"not a file path");
    }
    rtl_uString* cwd = nullptr;
    if (osl_getProcessWorkingDir(&cwd) == osl_Process_E_None) {
        OUString base(cwd, SAL_NO_ACQUIRE);
        OUString absolute;
        if (osl::FileBase::getAbsoluteFileURL(base, url, absolute) == osl::FileBase::E_None) {
            url = absolute;
        }
    }
    return url;
}

// What the side checks found about a cell's sheet and place.
struct CellCheck {
    std::u16string hidingMerge;             // the merged range that hides the cell, if one does
    std::vector<std::u16string> rowMerges;  // of each cell of its row, the cell's first
};

// Calc's formula of a cell is its input, and for a text that would read
// as something else ("0123", "TRUE") it carries the text prefix. Only a
// text starting with "=" comes back bare, like a formula: on that rare
// path the cell is asked which it is.
// A number's input is rounded to 15 digits: a cell that holds one is
// asked for its value, which only a cell that holds something costs.
CellContent contentOf(const std::u16string& input, const Reference<css::table::XCell>& cell) {
    if (input.empty()) return {};
    if (input[0] == u'\'') return {CellContent::Kind::Text, input.substr(1)};
    const auto type = cell->getType();
    if (type == css::table::CellContentType_TEXT) return {CellContent::Kind::Text, input};
    if (type == css::table::CellContentType_VALUE)
        return {CellContent::Kind::Number, {}, cell->getValue()};
    return {CellContent::Kind::Input, input};
}

// An entry's row beside the word's cell. Each cell beside the word is
// taken and read on a side thread of its own while the word's cell is
// taken and read, and written on it while the word's cell is written: the
// row costs the entry no round trip of its own. (One data-array call on
// the row would be a single call, but in a shown window the office makes
// an undo copy of the range for it and repaints: it costs four times a
// cell's writes made side by side.)
struct RowPlace {
    std::size_t besides = 0;
    std::shared_ptr<DateFormats> formats;
    // Takes a cell of the same sheet as Worksheet::range() does.
    std::function<std::unique_ptr<Range>(cells::CellAddress)> take;
    struct Taken {
        std::vector<Reference<css::table::XCell>> cells;
        std::vector<std::u16string> inputs;  // what the cells held
        // Of the cells that get a date: their properties, number formats,
        // and how those show a date.
        std::vector<Reference<css::beans::XPropertySet>> properties;
        std::vector<sal_Int32> formats;
        std::vector<DateShowing> showings;
        // The formats the row's dates replaced, for undo to give back.
        std::vector<std::optional<sal_Int32>> replaced;
    };
    std::shared_ptr<Taken> taken = std::make_shared<Taken>();
    std::vector<std::future<void>> pending;  // until `taken` is filled
    // Runs a call on the side thread of the cell `index` places right of the word's.
    std::function<std::future<void>(std::size_t index, std::function<void()>)> beside;
};

class CalcRange final : public Range {
public:
    // `verify` waits for the sheet's check, begun when the cell was taken,
    // and throws what it found: it runs once, before the cell is written or
    // read beyond its first call, or when the range goes.
    // `edited` tells whether the person is editing this very cell.
    CalcRange(const Reference<css::table::XCell>& cell, std::function<CellCheck()> verify,
              std::function<bool()> edited, RowPlace row)
        : cell_(cell),
          verify_(std::move(verify)),
          edited_(std::move(edited)),
          row_(std::move(row)) {}
    ~CalcRange() override {
        try {
            verified();
            for (auto& pending : row_.pending) pending.wait();
        } catch (...) {
            // Nothing was written: what the check found does not matter now.
        }
    }

    void setValue(std::u16string_view word) override {
        verified();
        notBeingEdited();
        // Behind the text prefix the formula is the word as literal text,
        // as Excel's Value takes it; the empty formula empties the cell.
        guarded(Failure::Value, [&] { cell_->setFormula(toUno(literalText(word))); });
    }

    CellContent content() override {
        return guarded(Failure::Value, [&]() -> CellContent {
            const std::u16string input = fromUno(cell_->getFormula());
            verified();
            return contentOf(input, cell_);
        });
    }

    // The row's inputs, read on the side threads while the word's cell
    // was; a cell that holds something other than plain text is asked what.
    std::vector<CellContent> rowContents() override {
        return guarded(Failure::Value, [&] {
            std::vector<CellContent> contents{content()};
            rowTaken();
            for (std::size_t i = 0; i < row_.besides; ++i)
                contents.push_back(contentOf(row_.taken->inputs[i], row_.taken->cells[i]));
            return contents;
        });
    }

    std::vector<std::u16string> rowMerges() override {
        verified();
        return check_.rowMerges;
    }

    // The word on this thread and each value beside it on its cell's side
    // thread, all travelling at once; every write is waited for, so that
    // nothing of the row is still under way when the entry answers.
    std::vector<CellContent> setRow(std::u16string_view word,
                                    const std::vector<CellValue>& beside) override {
        verified();
        notBeingEdited();
        return guarded(Failure::Value, [&] {
            rowTaken();
            const LocalTime nullDate =
                std::ranges::any_of(beside, isDate) ? row_.formats->nullDate() : LocalTime{};
            std::vector<CellContent> written;
            std::vector<std::future<void>> writes;
            for (std::size_t i = 0; i < beside.size() && i < row_.besides; ++i) {
                const double serial = serialOf(beside[i], nullDate);
                if (replacesFormat(beside[i], row_.taken->showings[i]))
                    row_.taken->replaced[i] = row_.taken->formats[i];
                written.push_back(beside[i].kind == CellValue::Kind::Text
                                      ? CellContent::written(beside[i].text)
                                      : CellContent{CellContent::Kind::Number, {}, serial});
                writes.push_back(row_.beside(
                    i, [taken = row_.taken, formats = row_.formats, value = beside[i], serial, i] {
                        writeValue(taken->cells[i], taken->properties[i], value, serial,
                                   taken->showings[i], *formats);
                    }));
            }
            std::exception_ptr failed;
            try {
                cell_->setFormula(toUno(literalText(word)));
            } catch (...) {
                failed = std::current_exception();
            }
            for (auto& write : writes) {
                try {
                    write.get();
                } catch (...) {
                    if (!failed) failed = std::current_exception();
                }
            }
            if (failed) std::rethrow_exception(failed);
            return written;
        });
    }

    std::unique_ptr<Range> beside(std::size_t offset) override {
        verified();
        return guarded(Failure::Value, [&] {
            Reference<css::sheet::XCellAddressable> addressable(cell_, css::uno::UNO_QUERY_THROW);
            const auto at = addressable->getCellAddress();
            auto range =
                row_.take({.column = at.Column + static_cast<std::int32_t>(offset), .row = at.Row});
            if (offset >= 1 && offset <= row_.taken->replaced.size())
                if (auto* cell = dynamic_cast<CalcRange*>(range.get()))
                    cell->formatBefore_ = row_.taken->replaced[offset - 1];
            return range;
        });
    }

    bool holds(std::u16string_view word) override {
        verified();
        return guarded(Failure::Value, [&] {
            const std::u16string input = fromUno(cell_->getFormula());
            if (word.empty()) return input.empty();
            if (input == literalText(word)) return true;
            // Bare: a text, unless the cell holds a number or a formula.
            return input == word && cell_->getType() == css::table::CellContentType_TEXT;
        });
    }

    // The cell's number format is kept (a formula put back, =NOW(), would
    // otherwise take the format Calc picks for its result), unless a date
    // of this run replaced it: then the format it had comes back too.
    void setContent(const CellContent& content) override {
        verified();
        notBeingEdited();
        guarded(Failure::Value, [&] {
            Reference<css::beans::XPropertySet> properties(cell_, css::uno::UNO_QUERY_THROW);
            const css::uno::Any format = formatBefore_
                                             ? css::uno::Any(*formatBefore_)
                                             : properties->getPropertyValue("NumberFormat");
            if (content.kind == CellContent::Kind::Number)
                cell_->setValue(content.number);
            else
                cell_->setFormula(toUno(content.kind == CellContent::Kind::Text
                                            ? literalText(content.text)
                                            : content.text));
            properties->setPropertyValue("NumberFormat", format);
        });
    }

    // The cell's own name, from its address as Calc keeps it up to date;
    // a deleted cell keeps a position but has no range left, which Calc
    // reports by refusing its name.
    std::optional<std::u16string> address() override {
        verified();
        try {
            Reference<css::beans::XPropertySet> properties(cell_, css::uno::UNO_QUERY_THROW);
            OUString name;
            properties->getPropertyValue("AbsoluteName") >>= name;
            // "$Sheet1.$P$5": the cell after the sheet's name, without the $.
            std::u16string cell = fromUno(name.copy(name.lastIndexOf('.') + 1));
            std::erase(cell, u'$');
            return cell;
        } catch (const css::lang::DisposedException& e) {
            throw Error(Failure::Disconnected, fromUno(e.Message));
        } catch (const css::uno::RuntimeException&) {
            return std::nullopt;
        } catch (const css::uno::Exception& e) {
            throw Error(Failure::Value, fromUno(e.Message));
        }
    }

    std::u16string shownText() override {
        verified();
        return guarded(Failure::Value, [&] {
            Reference<css::text::XText> text(cell_, css::uno::UNO_QUERY_THROW);
            return fromUno(text->getString());
        });
    }

    // Found on a side thread while the cell was read: no call of its own.
    std::u16string hidingMerge() override {
        verified();
        return check_.hidingMerge;
    }

private:
    void verified() {
        if (auto verify = std::exchange(verify_, nullptr)) check_ = verify();
    }

    // The person's Enter would write the edit over what is written now.
    void notBeingEdited() {
        if (guarded(Failure::Value, [&] { return edited_ && edited_(); }))
            throw Error(Failure::BeingEdited, u"the cell is being edited in the office");
    }

    // Waits for what the side threads took of the row, and throws what
    // they threw.
    void rowTaken() {
        for (auto& pending : row_.pending) pending.get();
        row_.pending.clear();
        for (const auto& cell : row_.taken->cells)
            if (!cell.is()) throw Error(Failure::Range, u"the row was not taken");
    }

    Reference<css::table::XCell> cell_;
    std::function<CellCheck()> verify_;
    std::function<bool()> edited_;
    CellCheck check_;
    RowPlace row_;
    std::optional<sal_Int32> formatBefore_;  // see setContent()
};

// A Calc sheet object follows a position among the sheets, not the sheet:
// once its sheet is deleted it stands for a neighbour. So before a cell is
// written, the sheet object is asked its code name, which stays with a
// sheet whatever it is renamed to and differs from sheet to sheet: another
// code name means the sheet was deleted. (A workbook whose sheets have no
// code names falls back on the sheet's name, so renaming it stops entries.)
// It is asked too whether it is protected, which Calc's API does not
// enforce. The cell is taken by its position, computed here from the name
// and the sheet's size, which returns the cell itself. The checks run on
// side threads while the cell is taken and read: an entry costs no round
// trip for them, and nothing is written until they have answered.
class CalcWorksheet final : public Worksheet {
public:
    CalcWorksheet(const Reference<css::sheet::XSpreadsheet>& sheet, const OUString& name,
                  std::shared_ptr<const WatchedEditing> editing,
                  std::shared_ptr<DateFormats> formats)
        : editing_(std::move(editing)),
          sheet_(sheet),
          named_(sheet_, css::uno::UNO_QUERY_THROW),
          properties_(sheet_, css::uno::UNO_QUERY_THROW),
          protectable_(sheet_, css::uno::UNO_QUERY_THROW),
          mergeable_(sheet_, css::uno::UNO_QUERY_THROW),
          name_(name),
          codeName_(codeName()),
          size_(sizeOf(sheet_)),
          formats_(std::move(formats)) {}

    std::unique_ptr<Range> range(std::u16string_view cellName) override {
        return row(cellName, {});
    }

    std::unique_ptr<Range> row(std::u16string_view cellName,
                               const std::vector<CellValue>& beside) override {
        const std::size_t besides = beside.size();
        return guarded(Failure::Range, [&]() -> std::unique_ptr<Range> {
            const auto at = cells::cellAddress(cellName, size_);
            if (!at) throw Error(Failure::Range, u"the sheet has no such cell");
            if (static_cast<std::int64_t>(at->column) + static_cast<std::int64_t>(besides) >=
                size_.columns)
                throw Error(Failure::Range, u"the row runs past the sheet's last column");
            return take(*at, beside);
        });
    }

    // One query of the column's cells that hold something, not a walk down it.
    long lastFilledRow(std::u16string_view columnLetters) override {
        return guarded(Failure::Range, [&]() -> long {
            const auto at = cells::cellAddress(std::u16string(columnLetters) + u"1", size_);
            if (!at) throw Error(Failure::Range, u"the sheet has no such column");
            auto verify = startCheck(false, {});
            long last = 0;
            try {
                Reference<css::sheet::XCellRangesQuery> column(
                    sheet_->getCellRangeByPosition(at->column, 0, at->column, size_.rows - 1),
                    css::uno::UNO_QUERY_THROW);
                namespace Flags = css::sheet::CellFlags;
                const auto filled = column
                                        ->queryContentCells(Flags::VALUE | Flags::DATETIME |
                                                            Flags::STRING | Flags::FORMULA)
                                        ->getRangeAddresses();
                for (const auto& range : filled) last = std::max<long>(last, range.EndRow + 1);
            } catch (...) {
                verify();  // a sheet that is gone says so first
                throw;
            }
            verify();
            return last;
        });
    }

private:
    std::unique_ptr<Range> take(cells::CellAddress at, const std::vector<CellValue>& beside = {}) {
        const std::size_t besides = beside.size();
        auto verify = startCheck(true, at, besides);
        Reference<css::table::XCell> cell;
        RowPlace row{.besides = besides,
                     .formats = formats_,
                     .take = [this](cells::CellAddress other) { return take(other); },
                     .taken = std::make_shared<RowPlace::Taken>(),
                     .pending = {},
                     .beside =
                         [this](std::size_t index, std::function<void()> call) {
                             return rowCall(index).start(std::move(call));
                         }};
        if (besides > 0) takeRow(row, at, beside);
        try {
            cell = sheet_->getCellByPosition(at.column, at.row);
        } catch (...) {
            verify();  // a sheet that is gone says so first
            throw;
        }
        if (!cell.is()) {
            verify();
            throw Error(Failure::Range, u"the sheet returned no cell");
        }
        return std::make_unique<CalcRange>(
            std::move(cell), std::move(verify),
            [this, at] { return editing_ && editing_->edits([this] { return sheetIndex(); }, at); },
            std::move(row));
    }

    // Each cell beside the word, with what it holds and, for a date, its
    // format, each on a side thread of its own. A format is asked only where
    // it decides how the value is written: every call here is one more the
    // office serves one after another, while the entry waits.
    void takeRow(RowPlace& row, cells::CellAddress at, const std::vector<CellValue>& beside) {
        auto taken = row.taken;
        taken->cells.resize(row.besides);
        taken->inputs.resize(row.besides);
        taken->properties.resize(row.besides);
        taken->formats.resize(row.besides);
        taken->showings.resize(row.besides, DateShowing::Hidden);
        taken->replaced.resize(row.besides);
        for (std::size_t i = 0; i < row.besides; ++i) {
            const bool date = isDate(beside[i]);
            row.pending.push_back(rowCall(i).start([this, taken, at, i, date] {
                auto cell =
                    sheet_->getCellByPosition(at.column + static_cast<sal_Int32>(i + 1), at.row);
                taken->inputs[i] = fromUno(cell->getFormula());
                if (date) {
                    Reference<css::beans::XPropertySet> properties(cell, css::uno::UNO_QUERY_THROW);
                    sal_Int32 format = 0;
                    properties->getPropertyValue("NumberFormat") >>= format;
                    taken->formats[i] = format;
                    taken->showings[i] = formats_->showing(format);
                    taken->properties[i] = properties;
                }
                taken->cells[i] = cell;
            }));
        }
    }

    calc::SideCall& rowCall(std::size_t index) {
        while (rowCalls_.size() <= index) rowCalls_.push_back(std::make_unique<calc::SideCall>());
        return *rowCalls_[index];
    }

    OUString codeName() {
        OUString name;
        properties_->getPropertyValue("CodeName") >>= name;
        return name;
    }

    // Asks the sheet, on side threads, whether it is still the sheet taken
    // at start-up and (when a cell is to be written) whether it is
    // protected and what merge hides that cell; what is returned waits for
    // the answers and throws what they found.
    std::function<CellCheck()> startCheck(bool forWriting, cells::CellAddress at,
                                          std::size_t besides = 0) {
        auto now = std::make_shared<OUString>();
        auto locked = std::make_shared<bool>(false);
        auto checked =
            std::make_shared<std::future<void>>(check_.start([this, now, locked, forWriting] {
                if (codeName_.isEmpty()) {
                    *now = named_->getName();
                } else {
                    // A sheet whose workbook was closed has no properties left.
                    try {
                        *now = codeName();
                    } catch (const css::uno::Exception&) {
                        *now = OUString();
                    }
                }
                if (forWriting) *locked = protectable_->isProtected();
            }));
        // Cells are merged by a person in the office's window: a sheet found
        // without merges is asked again only once that window was active.
        const std::uint64_t visits = editing_ ? editing_->watch->activations.load() : 0;
        const bool askMerge = forWriting && (!editing_ || sheetMerged_ || !mergesAskedAt_ ||
                                             *mergesAskedAt_ != visits);
        auto merge = std::make_shared<MergeFound>();
        auto merged =
            std::make_shared<std::future<void>>(askMerge ? check_.start([this, merge, at, besides] {
                *merge = hidingMerge(at);
                for (std::size_t i = 1; merge->sheetMerged && i <= besides; ++i)
                    merge->beside.push_back(
                        hidingMerge({at.column + static_cast<std::int32_t>(i), at.row}).hiding);
            })
                                                         : std::future<void>());
        return [this, now, locked, checked, merge, merged, visits, besides] {
            checked->get();  // rethrows what the check threw
            if (merged->valid()) {
                merged->get();
                sheetMerged_ = merge->sheetMerged;
                mergesAskedAt_ = visits;
            }
            if (now->isEmpty()) throw Error(Failure::Disconnected, u"the workbook was closed");
            if (*now != (codeName_.isEmpty() ? name_ : codeName_))
                throw Error(Failure::SheetGone, {});
            if (*locked) throw Error(Failure::Protected, {});
            CellCheck found{.hidingMerge = merge->hiding, .rowMerges = {merge->hiding}};
            found.rowMerges.insert(found.rowMerges.end(), merge->beside.begin(),
                                   merge->beside.end());
            found.rowMerges.resize(besides + 1);
            return found;
        };
    }

    struct MergeFound {
        bool sheetMerged = false;            // the sheet has merged cells anywhere
        std::u16string hiding;               // the merged range hiding the cell, if one does
        std::vector<std::u16string> beside;  // of the cells beside it, when the sheet has merges
    };

    // The merged range that hides the cell at `at`: asked of the whole
    // sheet first (one call), of the cell only on a sheet with merges.
    MergeFound hidingMerge(cells::CellAddress at) {
        if (!mergeable_->getIsMerged()) return {};
        Reference<css::sheet::XSheetCellRange> cell(
            sheet_->getCellRangeByPosition(at.column, at.row, at.column, at.row),
            css::uno::UNO_QUERY_THROW);
        auto cursor = sheet_->createCursorByRange(cell);
        cursor->collapseToMergedArea();
        Reference<css::sheet::XCellRangeAddressable> area(cursor, css::uno::UNO_QUERY_THROW);
        const auto merged = area->getRangeAddress();
        // The merge's first cell is the one it shows.
        if (merged.StartColumn == at.column && merged.StartRow == at.row) return {true, {}, {}};
        return {true,
                cells::cellName({merged.StartColumn, merged.StartRow}) + u":" +
                    cells::cellName({merged.EndColumn, merged.EndRow}),
                {}};
    }

    // Where the sheet stands among the workbook's now (it moves as sheets
    // are inserted before it): asked only while a cell is being edited.
    sal_Int16 sheetIndex() {
        Reference<css::sheet::XCellRangeAddressable> whole(sheet_, css::uno::UNO_QUERY_THROW);
        return whole->getRangeAddress().Sheet;
    }

    static cells::SheetSize sizeOf(const Reference<css::sheet::XSpreadsheet>& sheet) {
        Reference<css::sheet::XCellRangeAddressable> whole(sheet, css::uno::UNO_QUERY_THROW);
        const auto address = whole->getRangeAddress();
        return {address.EndColumn + 1, address.EndRow + 1};
    }

    std::shared_ptr<const WatchedEditing> editing_;
    Reference<css::sheet::XSpreadsheet> sheet_;
    Reference<css::container::XNamed> named_;
    Reference<css::beans::XPropertySet> properties_;
    Reference<css::util::XProtectable> protectable_;
    Reference<css::util::XMergeable> mergeable_;
    OUString name_;
    OUString codeName_;
    cells::SheetSize size_;
    std::shared_ptr<DateFormats> formats_;
    calc::SideCall check_;
    // The side threads of a row, one a cell beside the word.
    std::vector<std::unique_ptr<calc::SideCall>> rowCalls_;
    // What the last merge check found, and at which of the window's visits.
    bool sheetMerged_ = false;
    std::optional<std::uint64_t> mergesAskedAt_;
};

// Calc's import of Office Open XML (7.4) renames the new document's first
// sheet to each sheet it reads. A sheet whose name is that sheet's name in
// another case ("sheet1" for "Sheet1") clashes with itself, ignoring case,
// and is named "sheet1 -1" instead. The suffix the clash adds.
constexpr char16_t kImportClashSuffix[] = u" -1";

// The import filter a document was loaded with; empty for a new one.
OUString filterOf(const Reference<css::frame::XModel>& model) {
    for (const auto& arg : model->getArgs()) {
        OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter)) return filter;
    }
    return {};
}

bool readFromOfficeOpenXml(const Reference<css::frame::XModel>& model) {
    const OUString filter = filterOf(model);
    return filter.startsWith("Calc MS Excel 2007") || filter.startsWith("Calc Office Open XML");
}

class CalcSheets final : public Sheets {
public:
    CalcSheets(const Reference<css::sheet::XSpreadsheetDocument>& document,
               std::shared_ptr<const WatchedEditing> editing)
        : document_(document), sheets_(document->getSheets()), editing_(std::move(editing)) {}

    // Calc's lookup by name ignores case, as Excel's does.
    std::unique_ptr<Worksheet> item(std::u16string_view name) override {
        return guarded(Failure::NoSheet, [&]() -> std::unique_ptr<Worksheet> {
            css::uno::Any sheet;
            try {
                sheet = sheets_->getByName(toUno(name));
            } catch (const css::container::NoSuchElementException& e) {
                sheet = renamedByImport(name);
                if (!sheet.hasValue()) throw Error(Failure::NoSheet, fromUno(e.Message));
            }
            Reference<css::sheet::XSpreadsheet> worksheet(sheet, UNO_QUERY);
            if (!worksheet.is()) throw Error(Failure::NotWorksheet, u"not a worksheet");
            // The name as the workbook spells it ("Sheet1" for "sheet1").
            Reference<css::container::XNamed> named(worksheet, css::uno::UNO_QUERY_THROW);
            return std::make_unique<CalcWorksheet>(
                std::move(worksheet), named->getName(), editing_,
                std::make_shared<DateFormats>(Reference<css::util::XNumberFormatsSupplier>(
                    document_, css::uno::UNO_QUERY_THROW)));
        });
    }

private:
    // The sheet the import renamed for its clash, given back the name the
    // file holds, so that the workbook is saved as it was read; the
    // document is left as modified as it was. Nothing for any other workbook.
    css::uno::Any renamedByImport(std::u16string_view name) {
        const OUString clashed = toUno(name) + toUno(kImportClashSuffix);
        Reference<css::frame::XModel> model(document_, UNO_QUERY);
        if (!model.is() || !readFromOfficeOpenXml(model) || !sheets_->hasByName(clashed)) return {};
        css::uno::Any sheet = sheets_->getByName(clashed);
        Reference<css::container::XNamed> named(sheet, css::uno::UNO_QUERY_THROW);
        const OUString current = named->getName();
        Reference<css::util::XModifiable> modifiable(document_, UNO_QUERY);
        const bool wasModified = modifiable.is() && modifiable->isModified();
        named->setName(
            current.copy(0, current.getLength() - toUno(kImportClashSuffix).getLength()));
        if (modifiable.is() && !wasModified) modifiable->setModified(false);
        return sheet;
    }

    Reference<css::sheet::XSpreadsheetDocument> document_;
    Reference<css::sheet::XSpreadsheets> sheets_;
    std::shared_ptr<const WatchedEditing> editing_;
};

// Closes a document, unsaved; one that will not close (a dialog of its
// own is open, the office has gone) is left as it is.
void closeDocument(const Reference<css::frame::XModel>& model) {
    try {
        Reference<css::util::XCloseable> closeable(model, UNO_QUERY);
        if (closeable.is()) closeable->close(true);
    } catch (const css::uno::Exception&) {
        // Left open: start-up still reports why it refused the workbook.
    }
}

class CalcWorkbook final : public Workbook {
public:
    CalcWorkbook(const Reference<css::sheet::XSpreadsheetDocument>& document, bool openedHere,
                 bool text, std::shared_ptr<const WatchedEditing> editing,
                 const rtl::Reference<SavedAsWatch>& saves)
        : document_(document),
          openedHere_(openedHere),
          text_(text),
          editing_(std::move(editing)),
          saves_(saves),
          seen_(saves_.is() ? saves_->saves.load() : 0) {}

    bool isText() const override { return text_; }

    std::optional<std::u16string> savedAs() override {
        if (!saves_.is() || saves_->saves == seen_) return std::nullopt;
        seen_ = saves_->saves;
        return guarded(Failure::Disconnected, [&]() -> std::optional<std::u16string> {
            Reference<css::frame::XModel> model(document_, css::uno::UNO_QUERY_THROW);
            OUString path;
            if (osl::FileBase::getSystemPathFromFileURL(model->getURL(), path) !=
                osl::FileBase::E_None)
                return std::nullopt;
            return fromUno(path);
        });
    }

    std::unique_ptr<Sheets> worksheets() override {
        return guarded(Failure::NoSheet,
                       [&] { return std::make_unique<CalcSheets>(document_, editing_); });
    }

    void closeIfOpenedHere() override {
        if (openedHere_) closeDocument(Reference<css::frame::XModel>(document_, UNO_QUERY));
    }

private:
    Reference<css::sheet::XSpreadsheetDocument> document_;
    bool openedHere_;
    bool text_;
    std::shared_ptr<const WatchedEditing> editing_;
    rtl::Reference<SavedAsWatch> saves_;
    std::uint64_t seen_;  // the saves as the last savedAs() found them
};

class CalcWorkbooks final : public Workbooks {
public:
    explicit CalcWorkbooks(std::shared_ptr<Office> office) : office_(std::move(office)) {}

    std::unique_ptr<Workbook> open(std::u16string_view path) override {
        const OUString url = fileUrl(path);
        return guarded(Failure::Open, [&] {
            Reference<css::frame::XModel> model = findOpen(url);
            const bool openedHere = !model.is();
            // A crash of this office left its lock: it would not load the file.
            if (openedHere) calc::dropOwnStaleLock(systemPath(url), profileUrl());
            if (openedHere) model = load(url);
            // A document loaded only to be refused is not left in the office.
            const auto refuse = [&](Error error) {
                if (openedHere) closeDocument(model);
                throw error;
            };
            // Offered "Open Copy" for a file in use, or given a template,
            // the office hands back an untitled document: words written
            // there would never reach the file chosen.
            if (model->getURL() != url)
                refuse(Error(Failure::NotTheFile, u"opened as another document", Remedy::None,
                             fromUno(model->getURL())));
            Reference<css::sheet::XSpreadsheetDocument> document(model, UNO_QUERY);
            if (!document.is()) refuse(Error(Failure::Open, u"the file is not a spreadsheet"));
            // An office finding a lock file (another user, or a crashed
            // office) opens the file read-only without asking: the words
            // written there could not be saved into it.
            Reference<css::frame::XStorable> storable(model, UNO_QUERY);
            if (storable.is() && storable->isReadonly()) refuse(Error(Failure::ReadOnly, {}));
            rememberWindow(model);
            return std::make_unique<CalcWorkbook>(std::move(document), openedHere,
                                                  importedAsText(model), watchEditing(model),
                                                  watchSaves(model));
        });
    }

    bool isOpen(std::u16string_view path) override {
        return guarded(Failure::Disconnected, [&] { return findOpen(fileUrl(path)).is(); });
    }

private:
    // This office's profile, as its lock files name it.
    std::string profileUrl() {
        try {
            auto substitution = css::util::PathSubstitution::create(office_->context);
            OUString user = substitution->substituteVariables("$(userurl)", true);
            if (user.endsWith("/user")) user = user.copy(0, user.getLength() - 5);
            return OUStringToOString(user, RTL_TEXTENCODING_UTF8).getStr();
        } catch (const css::uno::Exception&) {
            return {};  // no lock is taken for this office's then
        }
    }

    static std::filesystem::path systemPath(const OUString& url) {
        OUString path;
        if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) return {};
        return std::filesystem::path(OUStringToOString(path, RTL_TEXTENCODING_UTF8).getStr());
    }

    // Loading a document that is already open (even hidden) into another
    // frame can bring the office down: reuse the open one.
    Reference<css::frame::XModel> findOpen(const OUString& url) {
        auto components = office_->desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
            if (model.is() && model->getURL() == url) return model;
        }
        return {};
    }

    // Calc imports a file it does not know as text ("Text - txt - csv").
    static bool importedAsText(const Reference<css::frame::XModel>& model) {
        return filterOf(model).startsWith("Text");
    }

    // Whether the office shows any window: a person is working in it.
    bool officeShown() {
        Reference<css::container::XIndexAccess> frames(office_->desktop->getFrames(), UNO_QUERY);
        if (!frames.is()) return false;
        for (sal_Int32 i = 0, n = frames->getCount(); i < n; ++i) {
            Reference<css::frame::XFrame> frame(frames->getByIndex(i), UNO_QUERY);
            if (!frame.is()) continue;
            Reference<css::awt::XWindow2> window(frame->getContainerWindow(), UNO_QUERY);
            if (window.is() && window->isVisible()) return true;
        }
        return false;
    }

    Reference<css::frame::XModel> load(const OUString& url) {
        std::vector<css::beans::PropertyValue> args(1);
        // A workbook's macros never run because Wordpour opened it.
        args[0].Name = "MacroExecutionMode";
        args[0].Value <<= css::document::MacroExecMode::NEVER_EXECUTE;
        // Start-up leaves the office's visibility alone: in an office that
        // shows no window the workbook opens hidden, and the first entry
        // shows it; in one a person is using, it opens as usual.
        if (!officeShown()) {
            args.emplace_back();
            args.back().Name = "Hidden";
            args.back().Value <<= true;
        }
        // "_default", as the office's own Open does: the Start Center or an
        // untouched new document gives its window to the workbook, so no
        // empty window is left beside it; a changed document is never replaced.
        auto component = office_->desktop->loadComponentFromURL(
            url, "_default", 0,
            css::uno::Sequence<css::beans::PropertyValue>(args.data(),
                                                          static_cast<sal_Int32>(args.size())));
        Reference<css::frame::XModel> model(component, UNO_QUERY);
        if (!model.is()) {
            // Seen with a stale lock file left by an office that crashed.
            throw Error(Failure::Open,
                        u"the office opened no document (is a stale lock file left?)");
        }
        return model;
    }

    // Nothing when the office cannot tell (no view): the watch is a
    // safeguard, never a reason to refuse the workbook.
    std::shared_ptr<const WatchedEditing> watchEditing(const Reference<css::frame::XModel>& model) {
        try {
            auto controller = model->getCurrentController();
            if (!controller.is()) return nullptr;
            auto frame = controller->getFrame();
            Reference<css::frame::XDispatchProvider> provider(frame, UNO_QUERY);
            if (!provider.is()) return nullptr;
            auto watched = std::make_shared<WatchedEditing>();
            watched->command.Complete = ".uno:InsertFieldDateVariable";
            css::util::URLTransformer::create(office_->context)->parseStrict(watched->command);
            watched->dispatch = provider->queryDispatch(watched->command, OUString(), 0);
            watched->window.set(frame->getContainerWindow(), UNO_QUERY);
            watched->view.set(controller, UNO_QUERY);
            if (!watched->dispatch.is() || !watched->window.is() || !watched->view.is())
                return nullptr;
            watched->watch = new ActivityWatch;
            watched->window->addTopWindowListener(watched->watch.get());
            office_->editing.push_back(watched);
            return watched;
        } catch (const css::uno::Exception&) {
            return nullptr;
        }
    }

    // Nothing when the office cannot tell: entries then keep the path chosen.
    rtl::Reference<SavedAsWatch> watchSaves(const Reference<css::frame::XModel>& model) {
        try {
            Reference<css::document::XDocumentEventBroadcaster> document(model, UNO_QUERY);
            if (!document.is()) return {};
            rtl::Reference<SavedAsWatch> watch(new SavedAsWatch);
            document->addDocumentEventListener(watch.get());
            office_->saved.emplace_back(document, watch);
            return watch;
        } catch (const css::uno::Exception&) {
            return {};
        }
    }

    void rememberWindow(const Reference<css::frame::XModel>& model) {
        auto controller = model->getCurrentController();
        if (!controller.is()) return;
        auto frame = controller->getFrame();
        if (!frame.is()) return;
        auto window = frame->getContainerWindow();
        if (!window.is()) return;
        rtl::Reference<VisibilityWatch> watch(new VisibilityWatch);
        window->addWindowListener(watch.get());
        Reference<css::awt::XWindow2> state(window, UNO_QUERY);
        watch->shown = state.is() && state->isVisible();
        office_->windows.push_back({window, watch});
    }

    std::shared_ptr<Office> office_;
};

class CalcApplication final : public Application {
public:
    explicit CalcApplication(std::shared_ptr<Office> office) : office_(std::move(office)) {}

    std::unique_ptr<Workbooks> workbooks() override {
        return std::make_unique<CalcWorkbooks>(office_);
    }

    bool setVisible(bool visible) override {
        bool changed = false;
        guarded(Failure::Visible, [&] {
            // Only a hidden window is shown: a shown one is left alone, so the
            // keyboard focus stays where it is.
            for (auto& [window, watch] : office_->windows) {
                if (watch->shown == visible) continue;
                window->setVisible(visible);
                watch->shown = visible;
                changed = true;
            }
        });
        return changed;
    }

private:
    std::shared_ptr<Office> office_;
};

}  // namespace

namespace {

// How long an office that runs may take to answer its single-instance pipe
// (it is starting), to listen once asked, and to start when Wordpour starts it.
constexpr std::chrono::seconds kOfficeStarting{20};
constexpr std::chrono::seconds kStartListening{15};
constexpr std::chrono::seconds kOfficeStart{90};
// Connecting: once before asking the office to listen, once after, and
// twice more for an office that has only just begun to listen and turns
// the first handshake away.
constexpr int kConnectAttempts = 4;

// Makes the user's running office listen on `pipe`, where nobody listens
// yet. An office that runs but does not answer yet is still starting: it
// gets some time.
void listenIfRunning(std::u16string_view pipe) {
    const std::string installation = calc::userInstallation();
    auto seen = calc::findOffice(installation);
    if (!seen.running()) {
        // An office the user runs with a profile of its own, while Wordpour
        // was not told of it: starting another would open a second office.
        if (!calc::profileNamed()) {
            const auto others = calc::otherProfiles(installation);
            if (!others.empty()) {
                throw Error(Failure::OtherProfile, {}, Remedy::None,
                            std::u16string(others.front().begin(), others.front().end()));
            }
        }
        // Known before asking whether to start one: none is installed.
        if (!calc::officeProgram())
            throw Error(Failure::NotInstalled, {}, Remedy::Install, std::u16string(calc::kPackage));
        throw Error(Failure::NotStarted, {}, Remedy::StartListening, std::u16string(pipe));
    }
    const auto until = std::chrono::steady_clock::now() + kOfficeStarting;
    while (!seen.answers && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        seen = calc::findOffice(installation);
    }
    if (seen.answers) calc::askToListen(installation, pipe, kStartListening);
}

}  // namespace

std::unique_ptr<Application> attachRunning() {
    const std::u16string pipe = calc::pipeName();
    // Connecting checks the name and that the pipe is this user's own (it
    // throws ForeignPipe otherwise); only a pipe nobody listens on leads to
    // asking the office.
    bool asked = false;
    css::uno::Reference<css::uno::XComponentContext> context;
    for (int attempt = 1;; ++attempt) {
        try {
            context = calc::connect(pipe);
            break;
        } catch (const Error& error) {
            if (error.failure() != Failure::NotRunning || attempt == kConnectAttempts) throw;
            if (calc::socketAnswers(calc::pipeSocketPath(pipe))) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            } else if (!asked && calc::isPlainPipeName(pipe)) {
                asked = true;
                listenIfRunning(pipe);
            } else {
                throw;
            }
        }
    }
    auto office = std::make_shared<Office>();
    office->context = context;
    office->desktop =
        guarded(Failure::NotRunning, [&] { return css::frame::Desktop::create(context); });
    return std::make_unique<CalcApplication>(std::move(office));
}

void startApplication() {
    try {
        calc::startListening(calc::pipeName(), kOfficeStart);
    } catch (const Error&) {
        throw;
    } catch (const std::runtime_error& error) {
        const std::string why = error.what();
        throw Error(Failure::NotRunning, std::u16string(why.begin(), why.end()));
    }
}

Backend backend() {
    return {.applicationName = u"LibreOffice Calc",
            .attachRunning = &attachRunning,
            .startApplication = &startApplication};
}

}  // namespace wordpour::link::spreadsheet::calc
