// Times word entries the way the program makes them: the entry session
// checks the word and the cell name, the link's thread reads the cell, sets
// the value and shows the application, and the window's thread takes the
// answer and moves the name on. Against a real headless Calc: back to back
// at the top of the sheet and at row 60,000, and 20 ms apart as a person
// presses; and the same UNO calls made from a python3-uno script as the
// baseline. Prints figures; asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/form/entry_session.h"
#include "journal/journal.h"
#include "tests/app/form/memory_view.h"
#include "tests/support/entry_steps.h"
#include "tests/support/test_office.h"

namespace {

using wordpour::form::EntrySession;
using wordpour::testing::MemoryView;
using wordpour::testing::u16;

struct Figures {
    double median, p99;
};

Figures figures(std::vector<double> ms) {
    if (ms.empty()) return {0, 0};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]};
}

// From the press to the answer taken on the window's thread. `pause`: the
// time between two entries, as a person leaves it between two presses; zero
// for entries back to back.
std::vector<double> entryTimes(EntrySession& session, MemoryView& view, int count,
                               std::chrono::milliseconds pause = {}) {
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(count));
    const std::u16string words[] = {u"りんご", u"apple", u"ﾊﾞﾅﾅ", u"長い単語を入力する"};
    for (int i = 0; i < count; ++i) {
        if (pause.count()) std::this_thread::sleep_for(pause);
        view.typed = words[i % 4];
        const auto start = std::chrono::steady_clock::now();
        session.enterWord();
        view.runPosted([&] { return session.entryUnderWay(); });
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (!view.shown.empty()) {
            std::fprintf(stderr, "entry failed\n");
            std::exit(1);
        }
    }
    return ms;
}

Figures timeEntries(EntrySession& session, MemoryView& view, int count,
                    std::chrono::milliseconds pause = {}) {
    return figures(entryTimes(session, view, count, pause));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string script = argc > 2 ? argv[2] : "bench/uno_entry_baseline.py";

    wordpour::testing::TestOffice office("wordpour-bench-" + std::to_string(getpid()));
    wordpour::testing::TempDir dir;
    const std::string path = dir.path() + "/bench.xls";
    office.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", office.pipe().c_str(), 1);

    MemoryView view;
    view.journalAt = dir.path() + "/journal";
    EntrySession session(view, wordpour::testing::programBackend());
    view.fileNames.push_back(u16(path));
    if (!session.start()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    timeEntries(session, view, 50);  // warm up the bridge and the sheet

    // The floor: the three round trips an entry needs (take the cell, read
    // it, write it), as three setFormula calls on one cell of the same
    // office. The two are measured in turns, so that both meet the same
    // load on the machine.
    office.timeSetFormula(path, u"Sheet1", u"Z1", 50);
    session.setCellName(u"A1");
    std::vector<double> floorTimes, topTimes, ratios;
    constexpr int kTurns = 20;
    for (int turn = 0; turn < kTurns; ++turn) {
        const auto floorTurn = office.timeSetFormula(path, u"Sheet1", u"Z1", count / kTurns);
        const auto topTurn = entryTimes(session, view, count / kTurns);
        ratios.push_back(figures(topTurn).median / (3 * figures(floorTurn).median));
        floorTimes.insert(floorTimes.end(), floorTurn.begin(), floorTurn.end());
        topTimes.insert(topTimes.end(), topTurn.begin(), topTurn.end());
    }
    const Figures setFormula = figures(std::move(floorTimes));
    const Figures top = figures(std::move(topTimes));
    // The ratio of each turn's medians: the load on the machine changes
    // from turn to turn, and each turn's two measurements meet the same.
    const Figures ratio = figures(ratios);
    // A word with two columns beside it (the moment, a fixed text) in one
    // row call, against the word alone, in turns on columns of their own,
    // 20 ms apart as a person presses: the office repaints and checks the
    // spelling of what a row call wrote in its idle time, which entries
    // back to back would count against the next entry.
    std::vector<double> alone, withRow, rowRatios;
    std::u16string aloneName = u"G1", rowName = u"I1";
    constexpr std::chrono::milliseconds kPace(20);
    wordpour::form::Companions two;
    two.columns[0] = {wordpour::form::CompanionKind::DateTime, {}};
    two.columns[1] = {wordpour::form::CompanionKind::FixedText, u"ロット7"};
    for (int turn = 0; turn < kTurns; ++turn) {
        view.companionsAnswer = wordpour::form::Companions{};
        session.editCompanions();
        session.setCellName(aloneName);
        const auto aloneTurn = entryTimes(session, view, count / kTurns / 2, kPace);
        aloneName = session.cellName();
        view.companionsAnswer = two;
        session.editCompanions();
        session.setCellName(rowName);
        const auto rowTurn = entryTimes(session, view, count / kTurns / 2, kPace);
        rowName = session.cellName();
        rowRatios.push_back(figures(rowTurn).median / figures(aloneTurn).median);
        alone.insert(alone.end(), aloneTurn.begin(), aloneTurn.end());
        withRow.insert(withRow.end(), rowTurn.begin(), rowTurn.end());
    }
    view.companionsAnswer = wordpour::form::Companions{};
    session.editCompanions();
    const Figures oneCell = figures(std::move(alone));
    const Figures rowEntry = figures(std::move(withRow));
    const Figures rowRatio = figures(std::move(rowRatios));

    session.setCellName(u"A60000");
    const Figures deep = timeEntries(session, view, count);
    session.setCellName(u"C1");
    const int paced = count / 2;
    const Figures person = timeEntries(session, view, paced, std::chrono::milliseconds(20));

    // 列の最後へ移動 on a column filled to row 60,000, from the command to
    // the name shown.
    office.fillColumn(path, u"Sheet1", 4, 60000, u"済");
    std::vector<double> lookups;
    for (int i = 0; i < 200; ++i) {
        session.setCellName(u"E1");
        const auto start = std::chrono::steady_clock::now();
        session.run(wordpour::form::Command::EndOfColumn);
        view.runPosted([&] { return session.entryUnderWay(); });
        lookups.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (session.cellName() != u"E60000") {
            std::fprintf(stderr, "the column's end was not found\n");
            return 1;
        }
    }
    const Figures columnEnd = figures(std::move(lookups));

    // The journal's append, flushed to the disk, on its own thread: what
    // each entry costs the disk, never the entry.
    session.settleJournal(std::chrono::seconds(30));
    wordpour::journal::Journal journal(dir.path() + "/journal-bench");
    std::vector<double> appends;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        journal.append({wordpour::journal::Record::Kind::Entry,
                        i,
                        u16(path),
                        u"sheet1",
                        u"A2",
                        u"りんご",
                        {}});
        appends.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    const Figures journalAppend = figures(std::move(appends));

    const std::string command = "/usr/bin/python3 " + script + " " + office.pipe() + " '" + path +
                                "' " + std::to_string(count);
    double python = 0;
    if (FILE* out = popen(command.c_str(), "r")) {
        if (std::fscanf(out, "%lf", &python) != 1) python = 0;
        pclose(out);
    }

    std::printf("word entry, %d entries from row 2:      median %.3f ms, p99 %.3f ms\n", count,
                top.median, top.p99);
    std::printf(
        "entry floor: 3 x setFormula median %.3f ms = %.3f ms; entry median %.3f ms; "
        "ratio %.2f\n",
        setFormula.median, 3 * setFormula.median, top.median, ratio.median);
    std::printf(
        "row entry, a word and 2 companions: median %.2f ms; one cell: median %.2f ms; "
        "ratio %.2f (20 ms apart)\n",
        rowEntry.median, oneCell.median, rowRatio.median);
    std::printf("word entry, %d entries from row 60001:  median %.3f ms, p99 %.3f ms\n", count,
                deep.median, deep.p99);
    std::printf("word entry, %d entries 20 ms apart:      median %.3f ms, p99 %.3f ms\n", paced,
                person.median, person.p99);
    std::printf("end of a column filled to row 60000:   median %.3f ms, p99 %.3f ms\n",
                columnEnd.median, columnEnd.p99);
    std::printf("journal, a record appended and flushed:  median %.3f ms, p99 %.3f ms\n",
                journalAppend.median, journalAppend.p99);
    if (python > 0) {
        std::printf("python3-uno, the same calls:          median %.3f ms\n", python);
        std::printf("python3-uno median / Wordpour median: %.1fx\n", python / top.median);
    } else {
        std::printf("python3-uno baseline: not measured (python3-uno missing?)\n");
    }
    return 0;
}
