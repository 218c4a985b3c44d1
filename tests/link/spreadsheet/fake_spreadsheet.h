// An in-memory spreadsheet behind the automation interface, for the GUI's
// tests: it records every call and can be told to fail at any of them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/spreadsheet/automation.h"

namespace wordpour::testing {

struct FakeSpreadsheet {
    // Calls in order: "attach", "workbooks", "open <path>", "worksheets",
    // "item <name>", "range <cell>", "value <word>", "visible 1",
    // "restore <cell> <text>", "end <column letters>", "start application".
    std::vector<std::u16string> calls;
    std::map<std::u16string, std::u16string> cells;  // of the sheet taken: the text shown
    std::map<std::u16string, link::spreadsheet::CellContent> contents;  // what each cell holds
    int reads = 0;                                                      // of a cell's content
    std::set<std::u16string> sheets = {u"sheet1"};
    // The cells a merge hides, each with the merged range's name.
    std::map<std::u16string, std::u16string> merges;
    // What a cell shows where it differs from what it holds (a date, 50%).
    std::map<std::u16string, std::u16string> shown;
    bool visible = false;
    // Where the person saved the workbook as (Save As), until it is asked.
    std::optional<std::u16string> savedAs;
    // Cells past this sheet's end: taking them fails as the sheet refuses a name.
    std::set<std::u16string> pastTheEnd;

    // The call whose name starts with this fails with this failure.
    std::map<std::u16string, link::spreadsheet::Failure> failures;
    // Runs on the link's thread before each call: a test can hold a call
    // here, as a spreadsheet that does not answer would.
    std::function<void(const std::u16string& call)> beforeCall;

    std::unique_ptr<link::spreadsheet::Application> attach();
    // The person inserts `count` rows above row `at`, or deletes row `at`:
    // the cells below, and the ranges taken of them, move.
    void insertRows(long at, long count);
    void deleteRow(long at);
    // Starts the application: attaching no longer fails with NotStarted.
    void startApplication();
    // The application ends without saving (a crash): what it held is gone,
    // every object taken of it fails as disconnected, and attaching fails
    // until startApplication(). closeBook(): the person closes the workbook unsaved.
    void crash();
    void closeBook();
    bool bookOpen = false;  // since open(), until closed
    void record(std::u16string call);
    // Throws as a gone application does for an object taken in an earlier
    // `generation`.
    void alive(int taken) const;
    int generation = 0;

    // Where each range taken is now: empty once its cell was deleted.
    std::vector<std::weak_ptr<std::u16string>> places;
};

}  // namespace wordpour::testing
