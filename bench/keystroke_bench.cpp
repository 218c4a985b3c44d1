// Counts the keys a person spends per word: typing it into the cell through
// an input method, picking it in Wordpour as it was before readings, and in
// Wordpour now, driven through the real window (offscreen) with key events;
// and on a second day, with the counts of the first. The words are 2,000
// common nouns of IPAdic with their readings; the entries follow Zipf's law
// (s = 1) with a fixed seed. Prints a line of figures for each day and
// asserts nothing.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include <QDir>
#include <QFile>
#include <QInputMethodEvent>

#include "app/find/kana.h"
#include "bench/find_list_row.h"
#include "bench/romaji.h"
#include "tests/app/qt/window_fixture.h"
#include "wordlist/code_page.h"
#include "wordlist/list_file.h"

namespace {

constexpr std::size_t kWords = 2000;
constexpr std::size_t kEntries = 1000;
constexpr unsigned kSeed = 20261208;
constexpr const char* kNounFile = "/usr/share/mecab/dic/ipadic/Noun.csv";

struct Word {
    std::u16string written;
    std::u16string reading;  // hiragana
    std::string romaji;      // as typed into an input method, the fewest keys
};

// The commonest general nouns of IPAdic (the lowest cost first) written with
// a kanji, one reading each, encodable in List.
std::vector<Word> nouns() {
    std::ifstream in(kNounFile, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto text = wordpour::wordlist::decodeEucJp(bytes.str());
    if (!text) return {};
    struct Row {
        int cost;
        Word word;
    };
    std::vector<Row> rows;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find(u'\n', start);
        if (end == std::u16string::npos) end = text->size();
        std::vector<std::u16string> fields;
        for (std::size_t at = start; at <= end;) {
            std::size_t comma = text->find(u',', at);
            if (comma == std::u16string::npos || comma > end) comma = end;
            fields.push_back(text->substr(at, comma - at));
            at = comma + 1;
        }
        start = end + 1;
        if (fields.size() < 13 || fields[5] != u"一般") continue;
        const std::u16string& written = fields[0];
        const bool kanji = std::any_of(written.begin(), written.end(),
                                       [](char16_t c) { return c >= 0x4E00 && c <= 0x9FFF; });
        if (!kanji || written.size() < 2 || written.size() > 6) continue;
        Word word{written, wordpour::find::toHiragana(fields[11]), {}};
        word.romaji = wordpour::bench::romajiOf(word.reading);
        if (word.romaji.empty() || !wordpour::wordlist::encodeCp932(written)) continue;
        rows.push_back({std::stoi(std::string(fields[3].begin(), fields[3].end())), word});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.cost != b.cost ? a.cost < b.cost : a.word.written < b.word.written;
    });
    std::vector<Word> words;
    std::set<std::u16string> seen;
    for (auto& row : rows) {
        if (words.size() == kWords) break;
        if (seen.insert(row.word.written).second) words.push_back(std::move(row.word));
    }
    return words;
}

void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), modifiers);
}

// Into the cell through an input method: its romaji, convert, commit,
// Enter; the first candidate taken as right.
std::size_t inputMethodKeys(const std::vector<Word>& words,
                            const std::vector<std::size_t>& entries) {
    std::size_t keys = 0;
    for (std::size_t w : entries) keys += words[w].romaji.size() + 2 + 1;
    return keys;
}

struct Spent {
    std::size_t keys = 0;
    std::size_t picks = 0, letters = 0, downs = 0;
    std::size_t fallbacks = 0;  // typed through the input method
    std::size_t wrong = 0;      // entries not in their cell
};

// The real window, the words loaded from List and read by the dictionary.
// From the focus an entry leaves (入力): Enter when the box holds the word;
// otherwise its romaji, a letter at a time, until the word is among the
// first two rows of the find list, then Down to it and Enter.
std::optional<Spent> entered(wordpour::testing::WindowFixture& f, const std::vector<Word>& words,
                             const std::vector<std::size_t>& entries) {
    wordpour::qt::MessageBox::setNextAnswer(wordpour::form::Answer::Yes);
    f.form->session().loadList();
    f.form->session().settleReadings();
    f.button(wordpour::form::Command::Enter)->setFocus();
    // A person types on until the word is in the first two rows: further
    // down, a letter more costs no more than Down and saves a look.
    constexpr int kGlance = 2;
    Spent spent;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Word& word = words[entries[i]];
        const QString written = QString::fromStdU16String(word.written);
        if (f.combo()->currentText() == written) {
            key(Qt::Key_Return);
            spent.keys += 1;
        } else {
            int row = -1;
            std::size_t typed = 0;
            for (const char letter : word.romaji) {
                QTest::keyClick(QApplication::focusWidget(), letter);
                ++typed;
                row = wordpour::bench::rowOf(word.written);
                if (row >= 0 && row < kGlance) break;
            }
            if (row < 0) {
                // Not found by its reading (the dictionary reads it another
                // way): typed whole through the input method instead.
                ++spent.fallbacks;
                for (std::size_t n = 0; n < typed; ++n) key(Qt::Key_Backspace);
                QInputMethodEvent composing(QString::fromStdU16String(word.reading), {});
                QApplication::sendEvent(QApplication::focusWidget(), &composing);
                QInputMethodEvent commit;
                commit.setCommitString(written);
                QApplication::sendEvent(QApplication::focusWidget(), &commit);
                typed += typed + word.romaji.size() + 2;
                row = std::max(wordpour::bench::rowOf(word.written), 0);
            }
            for (int n = 0; n < row; ++n) key(Qt::Key_Down);
            key(Qt::Key_Return);
            spent.keys += typed + static_cast<std::size_t>(row) + 1;
            spent.letters += typed;
            spent.downs += static_cast<std::size_t>(row);
            ++spent.picks;
        }
        if (!f.entriesDone()) return std::nullopt;
        const std::string row = std::to_string(i + 2);
        const std::u16string cell = u"A" + std::u16string(row.begin(), row.end());
        if (f.sheet.cells[cell] != word.written) ++spent.wrong;
    }
    return spent;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication application(argc, argv);
    const std::vector<Word> words = nouns();
    if (words.size() < kWords) {
        std::fprintf(stderr, "keystroke_bench: %s has too few nouns (mecab-ipadic)\n", kNounFile);
        return 1;
    }
    // Zipf's law over the words, their ranks shuffled once.
    std::mt19937 random(kSeed);
    std::vector<std::size_t> byRank(kWords);
    for (std::size_t i = 0; i < kWords; ++i) byRank[i] = i;
    std::shuffle(byRank.begin(), byRank.end(), random);
    std::vector<double> weights;
    for (std::size_t rank = 1; rank <= kWords; ++rank)
        weights.push_back(1.0 / static_cast<double>(rank));
    std::discrete_distribution<std::size_t> zipf(weights.begin(), weights.end());
    std::vector<std::size_t> entries, secondDay;
    for (std::size_t i = 0; i < kEntries; ++i) entries.push_back(byRank[zipf(random)]);
    for (std::size_t i = 0; i < kEntries; ++i) secondDay.push_back(byRank[zipf(random)]);

    // (a) Into the cell through an input method.
    // (b) Before readings: from 入力, Shift+Tab four times to the word box;
    // the fewer of Down or Up to the entry in its drop-down, or the word
    // typed through the input method; Tab four times back to 入力 and Enter.
    // The word already in the box is Enter alone.
    const std::size_t imeKeys = inputMethodKeys(words, entries);
    std::size_t beforeKeys = 0;
    int current = -1;  // the box's entry
    std::size_t last = kWords;
    for (std::size_t w : entries) {
        const std::size_t ime = words[w].romaji.size() + 2;
        if (w == last) {
            beforeKeys += 1;
            continue;
        }
        const auto target = static_cast<int>(w);
        const std::size_t moves =
            static_cast<std::size_t>(current < 0 ? target + 1 : std::abs(target - current));
        const std::size_t around = 4 + 4 + 1;
        if (moves <= ime) {
            beforeKeys += around + moves;
            current = target;
        } else {
            beforeKeys += around + ime;
            current = -1;
        }
        last = w;
    }

    // (c) Now, on a first day; then on a second, the list and the counts
    // of the first saved and loaded in a window started anew.
    QTemporaryDir cwd;
    QDir::setCurrent(cwd.path());
    {
        std::vector<std::u16string> list;
        for (const Word& word : words) list.push_back(word.written);
        const auto bytes = std::get<std::string>(wordpour::wordlist::writeList(list));
        QFile file(QStringLiteral("List"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::optional<Spent> now, second;
    {
        wordpour::testing::WindowFixture f;
        if (!f.start() || !(now = entered(f, words, entries))) return 1;
        wordpour::qt::MessageBox::setNextAnswer(wordpour::form::Answer::Yes);
        f.form->session().saveList();
    }
    {
        wordpour::testing::WindowFixture f;
        if (!f.start() || !(second = entered(f, words, secondDay))) return 1;
    }
    const double a = static_cast<double>(imeKeys) / kEntries;
    const double b = static_cast<double>(beforeKeys) / kEntries;
    const double c = static_cast<double>(now->keys) / kEntries;
    const double a2 = static_cast<double>(inputMethodKeys(words, secondDay)) / kEntries;
    const double c2 = static_cast<double>(second->keys) / kEntries;
    for (const Spent* day : {&*now, &*second})
        std::fprintf(stderr,
                     "keystroke_bench: %zu picks, %.2f letters and %.2f Down each; %zu typed "
                     "through the input method, %zu not in their cell\n",
                     day->picks,
                     static_cast<double>(day->letters) / static_cast<double>(day->picks),
                     static_cast<double>(day->downs) / static_cast<double>(day->picks),
                     day->fallbacks, day->wrong);
    std::printf(
        "keystrokes per entry: input method %.1f, before %.1f, now %.1f, now/input method %.2f\n",
        a, b, c, c / a);
    std::printf(
        "keystrokes per entry, second day: input method %.1f, now %.1f, now/input method %.2f\n",
        a2, c2, c2 / a2);
    return now->wrong == 0 && second->wrong == 0 ? 0 : 1;
}
