// The type-to-find list in the main window's logic: which entries it shows
// for what is typed, and what a pick does.
#include "app/find/reading_dictionary.h"
#include "app/form/wording.h"
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
namespace fs = std::filesystem;
using wordpour::testing::bytesOf;
using wordpour::testing::SessionRun;
using wordpour::testing::SessionTest;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;

class SessionFind : public SessionTest {
protected:
    std::optional<Words> typed(std::u16string text) {
        view.typed = std::move(text);
        view.current = -1;
        session->wordTyped();
        return view.matches;
    }
};

TEST_F(SessionFind, TheListShowsTheEntriesThatContainTheTextInTheirOrder) {
    ASSERT_TRUE(start());
    const std::u16string tooLong = u"長い" + std::u16string(5000, u'x');
    add({u"リスト表示", u"りんごジュース", u"ABC商事", u"東京都港区", u"ﾊﾞﾅﾅ", u"abcdef", u"Excel",
         u"パイナップル", u"東京", u"İstanbul", u"École", u"ガス", tooLong});
    struct Case {
        std::u16string typed;
        std::optional<Words> shown;  // nothing: no list
    };
    const Case cases[] = {
        {u"東京", Words{u"東京", u"東京都港区"}},   // anywhere; what is all of it first
        {u"港", Words{u"東京都港区"}},              // not only at the start
        {u"ﾘｽﾄ", Words{u"リスト表示"}},             // half-width katakana
        {u"リンゴ", Words{u"りんごジュース"}},      // katakana finds hiragana
        {u"じゅーす", Words{u"りんごジュース"}},    // and hiragana katakana
        {u"バナナ", Words{u"ﾊﾞﾅﾅ"}},                // voiced half-width
        {u"ＡＢＣ", Words{u"ABC商事", u"abcdef"}},  // full-width, any case
        {u"abc", Words{u"ABC商事", u"abcdef"}},
        {u"EXCEL", Words{u"Excel"}},
        {u"ぱい", Words{u"パイナップル"}},
        // Accents are not meant, kana sound marks are: another word.
        {u"istanbul", Words{u"İstanbul"}},
        {u"ecole", Words{u"École"}},
        {u"ÉCOLE", Words{u"École"}},
        {u"カス", std::nullopt},
        // An entry of thousands of characters is shown cut, with its length.
        {u"長い", Words{tooLong.substr(0, 1000) + u"…（全5002文字）"}},
        {u"大阪", std::nullopt},  // nothing matches: no list
        {u"", std::nullopt},      // nothing typed: no list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        EXPECT_EQ(typed(c.typed), c.shown);
    }
}

TEST_F(SessionFind, APickPutsTheEntryIntoTheBoxAndWritesNothing) {
    ASSERT_TRUE(start());
    add({u"東京都", u"京都府", u"東京"});
    ASSERT_EQ(typed(u"京"), (Words{u"京都府", u"東京都", u"東京"}));  // the beginning first
    const auto calls = sheet.calls.size();
    session->pickMatch(0);
    EXPECT_EQ(view.typed, u"京都府");
    EXPECT_EQ(view.current, 1);  // the entry itself: リスト削除 would remove it
    EXPECT_FALSE(view.matches.has_value());
    EXPECT_EQ(sheet.calls.size(), calls);
    // The list follows deletions and loads.
    session->deleteWord();
    writeBytes("List", "\x8B\x9E\x93\x73\r\n");  // 京都 in code page 932
    view.answers = {Answer::Yes};
    session->loadList();
    EXPECT_EQ(typed(u"京都"), (Words{u"京都", u"東京都"}));
}

// Words with the readings the input method gave as they were added, so that
// the same rows hold on every platform, with a dictionary or without.
class SessionReadings : public SessionFind {
protected:
    void addRead(std::initializer_list<std::pair<std::u16string, std::u16string>> words) {
        for (const auto& [word, reading] : words) {
            view.replies.push_back(word);
            view.inputReading = reading;
            session->addWord();
        }
        view.inputReading.reset();
    }
};

TEST_F(SessionReadings, RomajiAndKanaFindWordsByTheirReadingTheBeginningsFirst) {
    ASSERT_TRUE(start());
    addRead({{u"東京", u"とうきょう"},
             {u"東京都", u"とうきょうと"},
             {u"京都", u"きょうと"},
             {u"観光", u"かんこう"},
             {u"新聞", u"しんぶん"},
             {u"切手", u"きって"},
             {u"写真", u"しゃしん"},
             {u"地図", u"ちず"},
             {u"富士山", u"ふじさん"},
             {u"自転車", u"じてんしゃ"},
             {u"原因", u"げんいん"},
             {u"今日は", u"こんにちは"},
             {u"蒟蒻", u"こんにゃく"},
             {u"2号館", u"2ごうかん"}});
    add({u"かな", u"カタカナ", u"ABC"});
    struct Case {
        std::u16string typed;
        std::optional<Words> shown;
    };
    const Case cases[] = {
        {u"toukyou", Words{u"東京", u"東京都"}},
        {u"toukyo", Words{u"東京", u"東京都"}},  // a syllable not typed whole
        {u"tokyo", Words{u"東京", u"東京都"}},   // long vowels left out, as on signs
        {u"kyoto", Words{u"京都", u"東京都"}},
        {u"kyouto", Words{u"京都", u"東京都"}},                    // the beginnings first
        {u"kan", Words{u"観光", u"かな", u"2号館", u"カタカナ"}},  // かん and かな…
        {u"sinbun", Words{u"新聞"}},
        {u"shinbun", Words{u"新聞"}},
        // One syllable begins a reading; two or more may be anywhere in one.
        {u"shi", Words{u"新聞", u"写真"}},
        {u"sha", Words{u"写真"}},
        {u"shin", Words{u"新聞", u"写真"}},
        {u"kit", Words{u"切手"}},  // a consonant that may double
        {u"kitte", Words{u"切手"}},
        {u"syasin", Words{u"写真"}},
        {u"shashin", Words{u"写真"}},
        {u"tizu", Words{u"地図"}},
        {u"chizu", Words{u"地図"}},
        {u"huji", Words{u"富士山"}},
        {u"fuji", Words{u"富士山"}},
        {u"zitensya", Words{u"自転車"}},
        {u"jitensha", Words{u"自転車"}},
        {u"jitenshya", Words{u"自転車"}},
        {u"gen'in", Words{u"原因"}},
        {u"gennin", Words{u"原因"}},        // nn as the input methods spell ん
        {u"konnichiha", Words{u"今日は"}},  // and as Hepburn does
        {u"konnyaku", Words{u"蒟蒻"}},
        {u"konnnyaku", Words{u"蒟蒻"}},
        {u"TOUKYOU", Words{u"東京", u"東京都"}},  // any case, any width
        {u"ｔｏｕｋｙｏｕ", Words{u"東京", u"東京都"}},
        {u"とうきょう", Words{u"東京", u"東京都"}},  // kana
        {u"トウキョウ", Words{u"東京", u"東京都"}},
        {u"とうky", Words{u"東京", u"東京都"}},  // as an input method composes
        // A letter typed on 入力, the input method composing the rest.
        {u"tおうきょう", Words{u"東京", u"東京都"}},
        {u"kyおうと", Words{u"京都", u"東京都"}},
        {u"京", Words{u"京都", u"東京", u"東京都"}},  // the written form
        {u"abc", Words{u"ABC"}},
        {u"xz", std::nullopt},       // no syllable
        {u"2gou", Words{u"2号館"}},  // digits, then romaji
        {u"2ごう", Words{u"2号館"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        EXPECT_EQ(typed(c.typed), c.shown);
    }
    // Each row shows its reading where it is read otherwise than written.
    typed(u"tokyo");
    EXPECT_EQ(view.matchReadings, (Words{u"とうきょう", u"とうきょうと"}));
    typed(u"kyouto");
    EXPECT_EQ(view.matchReadings, (Words{u"きょうと", u"とうきょうと"}));
    EXPECT_EQ(wordpour::form::wording::findRow({u"京都", u"きょうと"}), u"京都（きょうと）");
    EXPECT_EQ(wordpour::form::wording::findRow({u"カタカナ", u"かたかな"}), u"カタカナ");
    EXPECT_EQ(wordpour::form::wording::findRow({u"ｺｰﾋｰ", u"こーひー"}), u"ｺｰﾋｰ");
}

// Names as people type them: any of a word's readings, from any of its
// parts on, long vowels or not; what was typed exactly first, then what is
// all of it.
TEST_F(SessionReadings, NamesAreFoundByAnyReadingAndTheClosestComeFirst) {
    ASSERT_TRUE(start());
    addRead({{u"大阪", u"おおさか"},
             {u"尾坂", u"おさか"},
             {u"高清水熊野堂", u"たかしみずくまのどう"},
             {u"高清水熊野", u"たかしみずくまの"},
             {u"網野町木津", u"あみのちょうきつ"},
             {u"網野町浅茂川", u"あみのちょうあさもがわ"},
             {u"龍ケ崎市", u"りゅうがさきし"},
             {u"漢字", u"かんじ"},
             {u"蟹", u"かに"}});
    struct Case {
        std::u16string typed;
        std::optional<Words> shown;
    };
    const Case cases[] = {
        {u"osaka", Words{u"尾坂", u"大阪"}},   // as typed before without long vowels
        {u"oosaka", Words{u"大阪", u"尾坂"}},  // and the other way
        {u"takashimizukumano", Words{u"高清水熊野", u"高清水熊野堂"}},  // all of it first
        {u"asamogawa", Words{u"網野町浅茂川"}},                         // a later part
        {u"ryugasaki", Words{u"龍ケ崎市"}},
        {u"ryuugasaki", Words{u"龍ケ崎市"}},
        {u"kan", Words{u"漢字", u"蟹"}},  // かん, or か and a syllable of n on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        EXPECT_EQ(typed(c.typed), c.shown);
    }
}

// A reading that found nothing, followed by the word entered another way,
// is the person's reading of that word from then on: beside the notes'
// other lines, in a line the first version of the file skips.
TEST_F(SessionReadings, AReadingThatFoundNothingIsLearnedForTheWordEnteredNext) {
    ASSERT_TRUE(start());
    addRead({{u"角田市", u"つのだし"}, {u"垂水", u"すいすい"}});
    EXPECT_EQ(typed(u"kakuda"), std::nullopt);
    view.current = 0;  // picked from the drop-down
    enter(u"角田市");
    EXPECT_EQ(typed(u"kakuda"), (Words{u"角田市"}));
    EXPECT_EQ(view.matchReadings, (Words{u"かくだ"}));
    EXPECT_EQ(typed(u"tsunoda"), (Words{u"角田市"}));  // the others stay
    // What is typed and entered as it is teaches nothing.
    EXPECT_EQ(typed(u"tarumizu"), std::nullopt);
    enter(u"tarumizu");
    EXPECT_EQ(typed(u"tarumizu"), std::nullopt);
    view.answers = {Answer::Yes};
    session->saveList();
    const std::string notes = bytesOf("List.wordpour");
    EXPECT_NE(notes.find("角田市\tかくだ\t4\t"), std::string::npos) << notes;
    EXPECT_EQ(notes.find("垂水\tたるみず"), std::string::npos) << notes;
}

TEST_F(SessionReadings, TheWordsEnteredMostAndLatestComeFirstAndOneKeyEntersThem) {
    ASSERT_TRUE(start());
    addRead(
        {{u"東京", u"とうきょう"}, {u"東京都", u"とうきょうと"}, {u"東京湾", u"とうきょうわん"}});
    struct Step {
        std::u16string entered;  // before the search; "" for none
        Words shown;
    };
    const Step steps[] = {
        {u"", {u"東京", u"東京都", u"東京湾"}},
        {u"東京湾", {u"東京湾", u"東京", u"東京都"}},
        {u"東京都", {u"東京都", u"東京湾", u"東京"}},  // equals: the latest first
        {u"東京湾", {u"東京湾", u"東京都", u"東京"}},  // twice before once
    };
    for (const Step& step : steps) {
        if (!step.entered.empty()) enter(step.entered);
        EXPECT_EQ(typed(u"touk"), step.shown);
    }
    // Enter on a row writes it at once, and the focus is on 入力 again.
    session->enterMatch(1);
    waitForEntries();
    EXPECT_EQ(sheet.cells[u"A5"], u"東京都");
    EXPECT_EQ(view.focus, wordpour::form::Focus::Enter);
    EXPECT_FALSE(view.matches.has_value());
}

TEST_F(SessionReadings, ThePersonCorrectsAReadingAndItIsKeptBesideListWithoutTouchingIt) {
    ASSERT_TRUE(start());
    addRead({{u"日本", u"にっぽん"}});
    add({u"行方"});
    // The reading the input method gave as the word was entered replaces none
    // but a dictionary's; the person's own replaces all.
    view.reading = u"なめかた";
    enter(u"行方");
    view.reading.reset();
    EXPECT_EQ(typed(u"namekata"), (Words{u"行方"}));
    struct Case {
        std::u16string reply;
        std::u16string reading;  // afterwards: what finds the word
        bool refused;
    };
    const Case cases[] = {
        {u"nihon", u"nihon", false},
        {u"ニッポン", u"nippon", false},
        {u"日本", u"nippon", true},  // no reading: refused, the reading stays
        {u"abc1", u"nippon", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reading.begin(), c.reading.end()));
        view.typed = u"日本";
        view.replies.push_back(c.reply);
        const auto messages = view.shown.size();
        session->run(wordpour::form::Command::ChangeReading);
        EXPECT_EQ(view.shown.size(), messages + (c.refused ? 1 : 0));
        EXPECT_EQ(typed(c.reading), (Words{u"日本"}));
        EXPECT_EQ(view.focus, wordpour::form::Focus::Enter);
    }
    // Saved beside List; List's bytes are the words alone.
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"), "\x93\xFA\x96\x7B\r\n\x8D\x73\x95\xFB\r\n");
    const std::string notes = bytesOf("List.wordpour");
    EXPECT_NE(notes.find("日本\tにっぽん"), std::string::npos) << notes;

    // A run that loads them finds by the kept readings and counts; a damaged
    // or missing notes file costs them, never a word.
    struct Load {
        std::string notes;  // "<none>": no file
        std::optional<Words> byReading;
    };
    const Load loads[] = {
        {notes, Words{u"日本"}},
        {notes.substr(0, notes.size() / 2) + "\xFF\xFE garbage\n\t\t\n", std::nullopt},
        {"<none>", std::nullopt},
    };
    for (const Load& load : loads) {
        SessionRun run;
        if (load.notes == "<none>")
            fs::remove("List.wordpour");
        else
            writeBytes("List.wordpour", load.notes);
        ASSERT_TRUE(run.start());
        run.view.answers = {Answer::Yes};
        run.session->loadList();
        EXPECT_EQ(run.view.items, (Words{u"日本", u"行方"}));
        run.view.typed = u"nippon";
        run.session->wordTyped();
        EXPECT_EQ(run.view.matches, load.byReading);
    }
    // A word deleted leaves both files with the next save.
    view.pick(1);
    session->deleteWord();
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"), "\x93\xFA\x96\x7B\r\n");
    EXPECT_EQ(bytesOf("List.wordpour").find("行方"), std::string::npos);
    EXPECT_NE(bytesOf("List.wordpour").find("日本"), std::string::npos);
}

// The notes beside List come from a file anyone may have written: counts at
// their largest stay there, a runaway file is read only as far as a list
// reaches, and a notes file that cannot be written is said.
TEST_F(SessionReadings, TheNotesFileNeitherWrapsNorFreezesNorFailsUnsaid) {
    ASSERT_TRUE(start());
    writeBytes("List", "東京\r\n東京都\r\n東京湾\r\n");
    const std::string header = "wordpour word notes 1\n";
    writeBytes("List.wordpour", header +
                                    "東京\t\t0\t4294967295\t1\n"
                                    "東京都\t\t0\t2\t5\n"
                                    "東京湾\t\t0\t3\t18446744073709551615\n");
    view.answers = {Answer::Yes};
    session->loadList();
    struct Step {
        std::u16string entered;
        Words shown;
    };
    const Step steps[] = {
        {u"東京", {u"東京", u"東京湾", u"東京都"}},    // the most uses stay the most
        {u"東京都", {u"東京", u"東京都", u"東京湾"}},  // the latest, at the clock's end
    };
    for (const Step& step : steps) {
        enter(step.entered);
        EXPECT_EQ(typed(u"東京"), step.shown);
    }

    // Longer than any list's notes, with a line longer than any note: the
    // words all load, the notes as far as a list reaches, and it is said.
    std::string runaway =
        header + std::string(300 * 1024, 'x') + "\n" + "東京\tとうきょう\t3\t0\t0\n";
    for (int i = 0; i < 40000; ++i) runaway += "語" + std::to_string(i) + "\tご\t0\t1\t1\n";
    writeBytes("List.wordpour", runaway);
    SessionRun run;
    ASSERT_TRUE(run.start());
    run.view.answers = {Answer::Yes};
    const auto before = run.view.shown.size();
    run.session->loadList();
    EXPECT_EQ(run.view.items, (Words{u"東京", u"東京都", u"東京湾"}));
    ASSERT_EQ(run.view.shown.size(), before + 2);  // the confirmation, then this
    EXPECT_NE(run.view.shown.back().prompt.find(u"先頭の32767行"), std::u16string::npos);
    run.view.typed = u"toukyou";
    run.session->wordTyped();
    EXPECT_EQ(run.view.matches, (Words{u"東京"}));

    // A folder where the notes go: List is saved, and the notes' loss is said.
    fs::remove("List.wordpour");
    fs::create_directory("List.wordpour");
    view.answers = {Answer::Yes};
    const auto messages = view.shown.size();
    session->saveList();
    EXPECT_EQ(bytesOf("List"),
              "\x93\x8C\x8B\x9E\r\n\x93\x8C\x8B\x9E\x93\x73\r\n\x93\x8C\x8B\x9E\x98\x70\r\n");
    ASSERT_EQ(view.shown.size(), messages + 2);  // the confirmation, then this
    EXPECT_NE(view.shown.back().prompt.find(u"List.wordpour"), std::u16string::npos);
    EXPECT_EQ(view.focus, wordpour::form::Focus::Enter);
}

TEST_F(SessionReadings, TheDictionaryReadsTheWordsOfALoadedList) {
    if (!wordpour::find::openReadingDictionary())
        GTEST_SKIP() << "no reading dictionary here (Windows without a Japanese IME, or Wine)";
    ASSERT_TRUE(start());
    // 東京都港区, A4用紙
    writeBytes("List", "\x93\x8C\x8B\x9E\x93\x73\x8D\x60\x8B\xE6\r\nA4\x97\x70\x8E\x86\r\n");
    view.answers = {Answer::Yes};
    session->loadList();
    session->settleReadings();
    EXPECT_EQ(typed(u"minato"), (Words{u"東京都港区"}));
    EXPECT_EQ(view.matchReadings, (Words{u"とうきょうとみなとく"}));
    // A reading that keeps Latin letters as typed is found by its kana, but
    // shown and kept nowhere, since its letters cannot be given back.
    EXPECT_EQ(typed(u"youshi"), (Words{u"A4用紙"}));
    EXPECT_EQ(view.matchReadings, (Words{u""}));
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List.wordpour").find('\x02'), std::string::npos);
}

// A long list is read and keyed whole on a thread; words deleted or added
// meanwhile or after keep their own readings, never a neighbour's.
TEST_F(SessionReadings, ReadingsStayWithTheirWordsWhenALongListChanges) {
    if (!wordpour::find::openReadingDictionary())
        GTEST_SKIP() << "no reading dictionary here (Windows without a Japanese IME, or Wine)";
    // 300 words: 東京都港区 in the middle of 語1 to 語299.
    std::string list;
    for (int i = 1; i < 300; ++i) {
        list += "\x8C\xEA" + std::to_string(i) + "\r\n";  // 語i
        if (i == 150) list += "\x93\x8C\x8B\x9E\x93\x73\x8D\x60\x8B\xE6\r\n";
    }
    writeBytes("List", list);
    struct Change {
        const char* what;
        bool whileRead;  // before the readings are in, or after
        bool deleteFirst;
        bool addMinato;
        Words minato;
    };
    const Change changes[] = {
        {.what = "after",
         .whileRead = false,
         .deleteFirst = true,
         .addMinato = true,
         .minato = {u"港", u"東京都港区"}},
        {.what = "deleted while",
         .whileRead = true,
         .deleteFirst = true,
         .addMinato = false,
         .minato = {u"東京都港区"}},
        {.what = "added while",
         .whileRead = true,
         .deleteFirst = false,
         .addMinato = true,
         .minato = {u"港", u"東京都港区"}},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        SessionRun run;
        ASSERT_TRUE(run.start());
        run.view.answers = {Answer::Yes};
        run.session->loadList();
        if (!c.whileRead) run.session->settleReadings();
        if (c.deleteFirst) {
            run.view.pick(0);
            run.session->deleteWord();
        }
        if (c.addMinato) {
            run.view.replies = {u"港"};
            run.session->addWord();
        }
        run.session->settleReadings();
        run.view.typed = u"minato";
        run.session->wordTyped();
        EXPECT_EQ(run.view.matches, c.minato);
        run.view.typed = u"go29";
        run.session->wordTyped();
        EXPECT_EQ(run.view.matches,
                  (Words{u"語29", u"語290", u"語291", u"語292", u"語293", u"語294", u"語295",
                         u"語296", u"語297", u"語298", u"語299"}));
    }
}

// Where the written form matched, a word shows its likeliest reading: the
// person's own, else the input method's, else the dictionaries' first.
TEST_F(SessionReadings, ThePersonsReadingComesFirstThenTheInputMethodsThenTheDictionaries) {
    auto dictionary = wordpour::find::openReadingDictionary();
    if (!dictionary)
        GTEST_SKIP() << "no reading dictionary here (Windows without a Japanese IME, or Wine)";
    ASSERT_TRUE(start());
    add({u"角田"});
    session->settleReadings();
    const std::u16string dictionarys = dictionary->read(u"角田").front();
    struct Step {
        const char* what;
        std::optional<std::u16string> heard;       // entered through the input method
        std::optional<std::u16string> correction;  // 読みの変更
        std::u16string shown;
    };
    const Step steps[] = {
        {.what = "the dictionary's", .heard = {}, .correction = {}, .shown = dictionarys},
        {.what = "the input method's", .heard = u"かくた", .correction = {}, .shown = u"かくた"},
        {.what = "the person's", .heard = {}, .correction = u"すみだ", .shown = u"すみだ"},
        {.what = "the input method's after",
         .heard = u"かくだ",
         .correction = {},
         .shown = u"すみだ"},
        {.what = "the dictionary's again", .heard = {}, .correction = u"", .shown = dictionarys},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.heard) {
            view.reading = step.heard;
            enter(u"角田");
            view.reading.reset();
        }
        if (step.correction) {
            view.typed = u"角田";
            view.replies.push_back(*step.correction);
            session->run(wordpour::form::Command::ChangeReading);
            session->settleReadings();
        }
        EXPECT_EQ(typed(u"角"), (Words{u"角田"}));
        EXPECT_EQ(view.matchReadings, (Words{step.shown}));
    }
}

}  // namespace
