// Times the word list at its largest, 32,767 entries of 2 to 20 characters
// (Japanese and ASCII): loading "List" into the word box, saving it back,
// and building and showing the display. Real widgets, offscreen; prints
// figures and asserts nothing.
#include <chrono>
#include <cstdio>
#include <string>

#include <QDir>
#include <QFile>
#include <QTimer>

#include "app/qt/dialogs/message_box.h"
#include "bench/fresh_processes.h"
#include "bench/sample_words.h"
#include "tests/app/qt/window_fixture.h"
#include "wordlist/list_file.h"
#include "wordlist/list_store.h"

namespace {

using wordpour::bench::msSince;

// Writes "List" in the current directory.
std::size_t writeListFile() {
    const auto words = wordpour::bench::sampleWords();
    const auto bytes = std::get<std::string>(wordpour::wordlist::writeList(words));
    QFile file(QStringLiteral("List"));
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return bytes.size();
}

// The process's resident memory now, in KB.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// A user's first load is timed in this many fresh processes.
constexpr int kFirstLoads = 5;
constexpr const char* kFirstLoadsFile = "first-loads";

}  // namespace

// Writes the list, then measures in processes of their own, as fresh as the
// program's when a user loads a list: nothing of the writing is left in them.
int main(int argc, char** argv) {
    const std::string mode = argc < 2 ? "" : argv[1];
    if (mode != "--measure" && mode != "--first-load") {
        QTemporaryDir cwd;
        QDir::setCurrent(cwd.path());
        {
            QCoreApplication writer(argc, argv);
            std::printf("word list of %zu entries (%zu bytes in List):\n",
                        wordpour::wordlist::kMaxEntries, writeListFile());
        }
        for (int i = 1; i < kFirstLoads; ++i)
            if (wordpour::bench::runAgain(argv[0], "--first-load") != 0) return 1;
        return wordpour::bench::runAgain(argv[0], "--measure");
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    wordpour::testing::WindowFixture f;
    if (!f.start()) return 1;
    using wordpour::form::Answer;
    using wordpour::qt::MessageBox;

    // The first load of the run, as a user's is: nothing read before.
    MessageBox::setNextAnswer(Answer::Yes);
    const long residentBefore = residentKb();
    auto start = std::chrono::steady_clock::now();
    f.form->session().loadList();
    const double load = msSince(start);
    if (mode == "--first-load") wordpour::bench::keepAndExit(kFirstLoadsFile, load);
    const auto loads = wordpour::bench::spreadOf(kFirstLoadsFile, load);
    if (f.combo()->count() != static_cast<int>(wordpour::wordlist::kMaxEntries)) return 1;
    // The dictionary reads the words on its own thread meanwhile.
    start = std::chrono::steady_clock::now();
    f.form->session().settleReadings();
    const double dictionary = msSince(start) + load;
    // What the list and its readings hold, the dictionaries closed again.
    const long residentRead = residentKb() - residentBefore;
    start = std::chrono::steady_clock::now();
    const auto read = wordpour::wordlist::loadListFile("List");
    const double readAgain = msSince(start);
    if (!std::holds_alternative<wordpour::wordlist::Entries>(read)) return 1;

    MessageBox::setNextAnswer(Answer::Yes);
    start = std::chrono::steady_clock::now();
    f.form->session().saveList();
    const double save = msSince(start);

    // A second run loads the list with the readings kept beside it.
    double loadRead = 0;
    {
        wordpour::testing::WindowFixture again;
        if (!again.start()) return 1;
        MessageBox::setNextAnswer(Answer::Yes);
        start = std::chrono::steady_clock::now();
        again.form->session().loadList();
        loadRead = msSince(start);
    }

    // The display for real: the dialog is shown, then closed at once.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    start = std::chrono::steady_clock::now();
    f.form->session().showList();
    const double display = msSince(start);

    // A runaway notes file beside List, 4,000,000 lines of words not in
    // it: the load must neither freeze nor grow with it.
    double loadRunaway = 0;
    long grown = 0;
    {
        QFile notes(QStringLiteral("List.wordpour"));
        notes.open(QIODevice::WriteOnly);
        std::string lines = "wordpour word notes 1\n";
        for (int i = 0; i < 4'000'000; ++i) {
            lines += "語" + std::to_string(i) + "\tご\t1\t1\t1\n";
            if (lines.size() > (1 << 20)) {
                notes.write(lines.data(), static_cast<qint64>(lines.size()));
                lines.clear();
            }
        }
        notes.write(lines.data(), static_cast<qint64>(lines.size()));
        notes.close();
        wordpour::testing::WindowFixture again;
        if (!again.start()) return 1;
        const long before = residentKb();
        MessageBox::setNextAnswer(Answer::Yes);
        MessageBox::setNextAnswer(Answer::Ok);  // what was not read is said
        start = std::chrono::steady_clock::now();
        again.form->session().loadList();
        loadRunaway = msSince(start);
        grown = residentKb() - before;
    }

    std::printf(
        "  load into the word box: %.1f ms (median of %zu fresh processes, %.1f-%.1f ms; reading "
        "List again alone: %.1f ms)\n",
        loads.median, loads.count, loads.least, loads.most, readAgain);
    std::printf(
        "  the dictionary's readings of all, after the window answers: %.0f ms, "
        "resident +%.1f MB\n",
        dictionary, static_cast<double>(residentRead) / 1024);
    std::printf("  save to List (and the readings beside it): %.1f ms\n", save);
    std::printf("  load with the readings kept beside List: %.1f ms\n", loadRead);
    std::printf("  build and show display: %.1f ms\n", display);
    std::printf("  load beside a List.wordpour of 4,000,000 lines: %.1f ms, resident +%ld KB\n",
                loadRunaway, grown);
    return 0;
}
