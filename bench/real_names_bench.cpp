// Counts how many real names a person finds by the reading they know, and
// the keys it costs them, in the real window (offscreen) with key events.
// The names and their official readings are Japan Post's (fetched by
// bench/real_names.py; never a reading source of the program): every
// municipality in one list, and the towns of each of six cities in a list
// of their own. For each name the person types its reading in romaji, a
// letter at a time, until the name is among the first two rows, then Down
// to it and Enter; a name that never shows is typed through the input
// method after all (romaji, convert, commit, Enter), the letters typed in
// vain taken back. Prints one line of figures and asserts nothing.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <QDir>
#include <QFile>
#include <QInputMethodEvent>

#include "base/unicode.h"
#include "bench/find_list_row.h"
#include "bench/romaji.h"
#include "tests/app/qt/window_fixture.h"
#include "wordlist/code_page.h"
#include "wordlist/list_file.h"

namespace {

struct Name {
    std::u16string written;
    std::u16string reading;  // hiragana, as officially read
    std::string romaji;
};

struct Tally {
    std::size_t names = 0, found = 0, keys = 0, inputMethodKeys = 0, wrong = 0;
    double readingsMs = 0;
};

void key(int k) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k));
}

// One list in the window, each of its names entered once, in its order.
Tally enterAll(const std::vector<Name>& names) {
    Tally tally;
    QTemporaryDir cwd;
    QDir::setCurrent(cwd.path());
    {
        std::vector<std::u16string> list;
        for (const Name& name : names) list.push_back(name.written);
        const auto bytes = std::get<std::string>(wordpour::wordlist::writeList(list));
        QFile file(QStringLiteral("List"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    wordpour::testing::WindowFixture f;
    if (!f.start()) return tally;
    wordpour::qt::MessageBox::setNextAnswer(wordpour::form::Answer::Yes);
    const auto begin = std::chrono::steady_clock::now();
    f.form->session().loadList();
    f.form->session().settleReadings();
    tally.readingsMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    f.button(wordpour::form::Command::Enter)->setFocus();
    constexpr int kGlance = 2;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Name& name = names[i];
        const std::size_t inputMethod = name.romaji.size() + 2 + 1;
        tally.inputMethodKeys += inputMethod;
        ++tally.names;
        int row = -1;
        std::size_t typed = 0;
        for (const char letter : name.romaji) {
            QTest::keyClick(QApplication::focusWidget(), letter);
            ++typed;
            row = wordpour::bench::rowOf(name.written);
            if (row >= 0 && row < kGlance) break;
        }
        if (row >= 0 && row < kGlance) {
            ++tally.found;
            for (int n = 0; n < row; ++n) key(Qt::Key_Down);
            key(Qt::Key_Return);
            tally.keys += typed + static_cast<std::size_t>(row) + 1;
        } else {
            for (std::size_t n = 0; n < typed; ++n) key(Qt::Key_Backspace);
            QInputMethodEvent composing(QString::fromStdU16String(name.reading), {});
            QApplication::sendEvent(QApplication::focusWidget(), &composing);
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromStdU16String(name.written));
            QApplication::sendEvent(QApplication::focusWidget(), &commit);
            // The list of the word typed whole shows it first, or the box
            // holds it: Enter on 入力 writes it either way.
            row = wordpour::bench::rowOf(name.written);
            for (int n = 0; n < std::max(row, 0); ++n) key(Qt::Key_Down);
            key(Qt::Key_Return);
            tally.keys += 2 * typed + inputMethod + static_cast<std::size_t>(std::max(row, 0));
        }
        if (!f.entriesDone()) return tally;
        const std::string at = std::to_string(i + 2);
        if (f.sheet.cells[u"A" + std::u16string(at.begin(), at.end())] != name.written)
            ++tally.wrong;
    }
    return tally;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (argc < 2) {
        std::fprintf(stderr, "usage: real_names_bench real-names.tsv (bench/real_names.py)\n");
        return 2;
    }
    QApplication application(argc, argv);
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<Name> municipalities;
    std::map<std::u16string, std::vector<Name>> towns;  // by city
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream parts(line);
        for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
        if (fields.size() != 4) continue;
        const auto city = wordpour::base::decodeUtf8(fields[1]);
        const auto written = wordpour::base::decodeUtf8(fields[2]);
        const auto reading = wordpour::base::decodeUtf8(fields[3]);
        if (!city || !written || !reading || !wordpour::wordlist::encodeCp932(*written)) continue;
        Name name{*written, *reading, wordpour::bench::romajiOf(*reading)};
        if (name.romaji.empty()) continue;
        (fields[0] == "m" ? municipalities : towns[*city]).push_back(std::move(name));
    }
    if (municipalities.empty() || towns.empty()) {
        std::fprintf(stderr, "real_names_bench: no names in %s\n", argv[1]);
        return 1;
    }
    const Tally m = enterAll(municipalities);
    std::fprintf(stderr, "real_names_bench: %zu municipalities, readings ready in %.0f ms\n",
                 m.names, m.readingsMs);
    Tally t;
    for (const auto& [city, names] : towns) {
        const Tally one = enterAll(names);
        std::fprintf(stderr, "real_names_bench: %s, %zu towns, found %.1f%%\n",
                     wordpour::base::encodeUtf8(city).c_str(), one.names,
                     100.0 * static_cast<double>(one.found) / static_cast<double>(one.names));
        t.names += one.names;
        t.found += one.found;
        t.keys += one.keys;
        t.inputMethodKeys += one.inputMethodKeys;
        t.wrong += one.wrong;
    }
    const double names = static_cast<double>(m.names + t.names);
    const double keys = static_cast<double>(m.keys + t.keys) / names;
    const double inputMethod = static_cast<double>(m.inputMethodKeys + t.inputMethodKeys) / names;
    std::fprintf(stderr, "real_names_bench: %zu names not in their cell\n", m.wrong + t.wrong);
    std::printf(
        "real names: municipalities found %.1f%%, towns found %.1f%%, keys per name %.1f, input "
        "method %.1f, now/input method %.2f\n",
        100.0 * static_cast<double>(m.found) / static_cast<double>(m.names),
        100.0 * static_cast<double>(t.found) / static_cast<double>(t.names), keys, inputMethod,
        keys / inputMethod);
    return 0;
}
