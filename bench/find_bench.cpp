// Times the type-to-find list with the word list at its largest, 32,767
// entries of 2 to 20 characters (Japanese and ASCII): each keystroke of a
// few typed words, from the text changing to the list shown (real widgets,
// offscreen), and the search alone. Prints figures; asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QListView>

#include "app/find/search_key.h"
#include "app/find/word_finder.h"
#include "app/form/word_list.h"
#include "app/qt/dialogs/input_box.h"
#include "bench/fresh_processes.h"
#include "bench/sample_words.h"
#include "tests/app/qt/window_fixture.h"
#include "wordlist/list_file.h"

namespace {

using wordpour::bench::msSince;

// The first keystroke after a load is timed in this many fresh processes.
constexpr int kFirstKeystrokes = 5;
constexpr const char* kFirstKeystrokesFile = "first-keystrokes";

// The text changed to `text` in the window's word box, timed until the
// list is laid out and painted.
double keystroke(wordpour::testing::WindowFixture& f, const std::u16string& text) {
    f.combo()->lineEdit()->setText(QString::fromStdU16String(text));
    const auto start = std::chrono::steady_clock::now();
    f.form->session().wordTyped();
    QApplication::processEvents();
    return msSince(start);
}

// The List in the current folder loaded into a window, and its readings.
bool loadAndRead(wordpour::testing::WindowFixture& f, double* loadMs) {
    if (!f.start()) return false;
    wordpour::qt::MessageBox::setNextAnswer(wordpour::form::Answer::Yes);
    const auto start = std::chrono::steady_clock::now();
    f.form->session().loadList();
    if (loadMs) *loadMs = msSince(start);
    QTest::qWait(200);  // a person's pause after the load
    f.form->session().settleReadings();
    return true;
}

void print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %s: median %.2f ms, worst %.2f ms (%zu keystrokes)\n", what, ms[ms.size() / 2],
                ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform cannot raise a window, and says so each time.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication application(argc, argv);
    const auto words = wordpour::bench::sampleWords();
    if (argc > 1 && std::strcmp(argv[1], "--first-keystroke") == 0) {
        wordpour::testing::WindowFixture f;
        if (!loadAndRead(f, nullptr)) return 1;
        wordpour::bench::keepAndExit(kFirstKeystrokesFile, keystroke(f, words[0].substr(0, 1)));
    }
    // What a user types: the starts of some entries, one keystroke at a time.
    std::vector<std::u16string> typed;
    for (int i = 0; i < 40; ++i) {
        const std::u16string& word = words[(i * 811) % words.size()];
        for (std::size_t n = 1; n <= std::min<std::size_t>(word.size(), 6); ++n)
            typed.push_back(word.substr(0, n));
    }

    wordpour::find::WordFinder finder;
    auto start = std::chrono::steady_clock::now();
    finder.append(words, 0);
    std::printf("type to find in %zu entries:\n", words.size());
    std::printf("  a load hands the words over: %.2f ms\n", msSince(start));
    start = std::chrono::steady_clock::now();
    (void)finder.matches(u"a");
    std::printf("  a keystroke at once after it, waiting for the keys: %.1f ms\n", msSince(start));
    std::vector<double> search;
    for (const auto& text : typed) {
        start = std::chrono::steady_clock::now();
        (void)finder.matches(text);
        search.push_back(msSince(start));
    }
    print("search alone", search);

    // The window: the list loaded from "List", then typed into, a person's
    // pause (0.2 s) after the load.
    QTemporaryDir cwd;
    QDir::setCurrent(cwd.path());
    {
        const auto bytes = std::get<std::string>(wordpour::wordlist::writeList(words));
        QFile file(QStringLiteral("List"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    for (int i = 1; i < kFirstKeystrokes; ++i)
        if (wordpour::bench::runAgain(argv[0], "--first-keystroke") != 0) return 1;
    wordpour::testing::WindowFixture f;
    double loadMs = 0;
    if (!loadAndRead(f, &loadMs)) return 1;
    std::printf("  load into the word box: %.1f ms\n", loadMs);
    // The dictionary's readings, each keystroke searching them too, romaji
    // included: the starts of words as a person types them.
    for (const char* romaji : {"toukyou", "kanji", "shinbun", "ringo", "nihongo", "kka"})
        for (std::size_t n = 1; n <= std::strlen(romaji); ++n)
            typed.emplace_back(romaji, romaji + n);
    {
        // The same keystrokes on the word list alone, its readings ready.
        wordpour::form::WordList list;
        list.append(words);
        list.settle();
        std::vector<double> search;
        for (const auto& text : typed) {
            start = std::chrono::steady_clock::now();
            (void)list.matches(text);
            search.push_back(msSince(start));
        }
        print("search with the readings, ranked", search);
    }
    std::vector<double> shown;
    for (const auto& text : typed) shown.push_back(keystroke(f, text));
    const auto firsts = wordpour::bench::spreadOf(kFirstKeystrokesFile, shown.front());
    std::printf(
        "  first keystroke after the load and its readings: %.2f ms (median of %zu fresh "
        "processes, %.2f-%.2f ms)\n",
        firsts.median, firsts.count, firsts.least, firsts.most);
    print("keystroke to list shown, the first after the load left out",
          std::vector<double>(shown.begin() + 1, shown.end()));

    // An entry of ten million characters (a paste gone wrong): the list
    // shows it cut, and the window goes on answering (F1).
    f.combo()->setCurrentIndex(0);  // the list is full: one word makes room
    f.form->session().deleteWord();
    wordpour::qt::InputBox::setNextReply(QString(10'000'000, QLatin1Char('a')));
    f.form->session().addWord();
    QTest::qWait(200);  // its search key is made on the finder's thread
    f.combo()->lineEdit()->setText(QStringLiteral("aa"));
    start = std::chrono::steady_clock::now();
    f.form->session().wordTyped();
    QApplication::processEvents();
    std::printf("  with a 10,000,000-character entry, \"aa\" to list shown: %.1f ms\n",
                msSince(start));
    start = std::chrono::steady_clock::now();
    f.form->session().showAbout();
    QApplication::processEvents();
    std::printf("  then F1 to the about box shown: %.1f ms\n", msSince(start));
    return 0;
}
