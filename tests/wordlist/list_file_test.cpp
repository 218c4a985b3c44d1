// The file "List" on bytes: what save writes, what load reads back.
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "base/unicode.h"
#include "wordlist/charset_guess.h"
#include "wordlist/code_page.h"
#include "wordlist/list_file.h"

namespace {

using wordpour::wordlist::Entries;
using wordpour::wordlist::InvalidBytes;
using wordpour::wordlist::readList;
using wordpour::wordlist::Unencodable;
using wordpour::wordlist::writeList;

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string cp932(std::u16string_view text) {
    return wordpour::wordlist::encodeCp932(text).value();
}

std::string written(const Entries& entries) {
    auto result = writeList(entries);
    return std::holds_alternative<std::string>(result) ? std::get<std::string>(result)
                                                       : "<refused>";
}

Entries read(const std::string& bytes) {
    auto result = readList(bytes);
    return std::holds_alternative<Entries>(result) ? std::get<Entries>(result)
                                                   : Entries{u"<invalid>"};
}

TEST(ListFile, SaveWritesEachEntryThenCrLfInCodePage932) {
    struct Case {
        Entries entries;
        std::string bytes;
    };
    const Case cases[] = {
        {{u"a", u"bc", u"d"}, "a\r\nbc\r\nd\r\n"},
        {{u""}, "\r\n"},
        {{u"a", u"", u"b"}, "a\r\n\r\nb\r\n"},
        {{}, ""},
        {{u"a,b"}, "a,b\r\n"},
        {{u"\"q\""}, "\"q\"\r\n"},
        {{u"～"}, "\x81\x60\r\n"},
        {{u"①"}, "\x87\x40\r\n"},
        {{u"髙"}, "\xFB\xFC\r\n"},
        {{u"ﾘｽﾄ"}, "\xD8\xBD\xC4\r\n"},
        {{u"\\"}, "\x5C\r\n"},
        {{u"表"}, "\x95\x5C\r\n"},  // a trail byte that is 0x5C
        {{u"リスト"}, "\x83\x8A\x83\x58\x83\x67\r\n"},
    };
    for (const Case& c : cases) {
        const std::string bytes = written(c.entries);
        EXPECT_EQ(hex(bytes), hex(c.bytes));
    }
}

TEST(ListFile, SaveRefusesWhatCodePage932CannotHold) {
    struct Case {
        Entries entries;
        std::size_t index;
    };
    const Case cases[] = {
        {{u"ok", u"😀"}, 1},
        {{u"한", u"ok"}, 0},
        {{u"a", u"b", u"é"}, 2},
        {{u"ok", u"¬"}, 1},  // written as "￢", it would load back as another word
    };
    for (const Case& c : cases) {
        auto result = writeList(c.entries);
        ASSERT_TRUE(std::holds_alternative<Unencodable>(result));
        EXPECT_EQ(std::get<Unencodable>(result).index, c.index);
    }
}

TEST(ListFile, LoadReadsFieldsLikeInputHash) {
    struct Case {
        const char* why;
        std::string bytes;
        Entries entries;
    };
    const Case cases[] = {
        {"three lines", "a\r\nbc\r\nd\r\n", {u"a", u"bc", u"d"}},
        {"empty file", "", {}},
        {"only an empty line", "\r\n", {u""}},
        {"empty entry between two", "a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
        {"a comma splits", "a,b\r\n", {u"a", u"b"}},
        {"hand-written line",
         cp932(u"りんご,みかん, ぶどう\r\nもも\r\n"),
         {u"りんご", u"みかん", u"ぶどう", u"もも"}},
        {"empty field between commas", "a,,b\r\n", {u"a", u"", u"b"}},
        {"comma before the line end", "a,\r\nb\r\n", {u"a", u"", u"b"}},
        {"quotes dropped", "\"q\"\r\n", {u"q"}},
        {"comma inside quotes stays", "\"a,b\"\r\n", {u"a,b"}},
        {"leading spaces dropped", "   x\r\n", {u"x"}},
        {"leading tab dropped", "\tx\r\n", {u"x"}},
        {"trailing spaces and tabs dropped", "x \t \r\n", {u"x"}},
        {"inner spaces kept", "a b\r\n", {u"a b"}},
        {"quote inside an unquoted field kept", "a\"b\r\n", {u"a\"b"}},
        {"text after the closing quote dropped", "\"a\"b,c\r\n", {u"a", u"c"}},
        {"quoted field over a line end", "\"a\r\nb\"\r\nc\r\n", {u"a\r\nb", u"c"}},
        {"unclosed quote runs to the end", "\"a\r\nb", {u"a\r\nb"}},
        {"lone LF", "a\nb\n", {u"a", u"b"}},
        {"lone CR", "a\rb\r", {u"a", u"b"}},
        {"no line end at the end", "a\r\nb", {u"a", u"b"}},
        {"LF CR is two line ends", "a\n\rb", {u"a", u"", u"b"}},
        {"code page 932", "\x81\x60\x87\x40\xFB\xFC\xD8\xBD\xC4\x5C\r\n", {u"～①髙ﾘｽﾄ\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(read(c.bytes) == c.entries);
    }
}

TEST(ListFile, LoadRefusesBytesThatAreNotCodePage932) {
    for (const std::string& bytes : {std::string("\x81"), std::string("a\r\n\x85\x40\r\n"),
                                     std::string("\xA0\r\n"), std::string("ok\r\n\xFF")}) {
        EXPECT_TRUE(std::holds_alternative<InvalidBytes>(readList(bytes))) << hex(bytes);
    }
}

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(ListFile, LoadReadsUtf8AndUtf16ButKeepsCodePage932ThatLooksLikeUtf8) {
    struct Case {
        const char* why;
        std::string bytes;
        Entries entries;  // {u"<invalid>"}: refused
    };
    const Case cases[] = {
        {"UTF-8 as editors write it", "東京\r\n大阪\r\n", {u"東京", u"大阪"}},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF東京,ﾘｽﾄ\n", {u"東京", u"ﾘｽﾄ"}},
        {"UTF-8 with an emoji", "絵文字😀\r\n", {u"絵文字😀"}},
        {"only a byte-order mark", "\xEF\xBB\xBF", {}},
        {"UTF-16 little-endian", utf16(u"東京\r\n😀\r\n", false), {u"東京", u"😀"}},
        {"UTF-16 big-endian", utf16(u"大阪,京都\r\n", true), {u"大阪", u"京都"}},
        {"UTF-16 with half a surrogate pair", utf16(u"a\xD83D\r\n", false), {u"<invalid>"}},
        {"UTF-16 of an odd length", utf16(u"a", false) + "x", {u"<invalid>"}},
        {"UTF-8 mark, then bytes that are not UTF-8", "\xEF\xBB\xBF\x93\x8C\r\n", {u"<invalid>"}},
        {"code page 932 kanji", cp932(u"東京\r\n大阪\r\n"), {u"東京", u"大阪"}},
        {"code page 932 ﾘｽﾄ", cp932(u"ﾘｽﾄ\r\n"), {u"ﾘｽﾄ"}},
        // D8 BD and C3 A9 are also two-byte UTF-8 sequences.
        {"code page 932 ﾘｽ, well-formed UTF-8 too", cp932(u"ﾘｽ\r\n"), {u"ﾘｽ"}},
        {"code page 932 ﾃｩ, well-formed UTF-8 too", cp932(u"ﾃｩ,ｱｲｳ\r\n"), {u"ﾃｩ", u"ｱｲｳ"}},
        {"code page 932 mixed", cp932(u"ﾘｽﾄ,リスト,～\r\n"), {u"ﾘｽﾄ", u"リスト", u"～"}},
        {"ASCII is the same either way", "abc\r\n", {u"abc"}},
        // Two-byte UTF-8 letters between ASCII letters are Latin, not katakana.
        {"UTF-8 Müller, café, naïve",
         "M\xC3\xBCller\r\ncaf\xC3\xA9\r\nna\xC3\xAFve\r\n",
         {u"Müller", u"café", u"naïve"}},
        {"UTF-8 Ärger and Straße",
         "\xC3\x84rger,Stra\xC3\x9F"
         "e\r\n",
         {u"Ärger", u"Straße"}},
        // Never NULs: refused with the encodings Wordpour reads.
        {"UTF-16 little-endian without a mark", std::string("a\0b\0\r\0\n\0", 8), {u"<invalid>"}},
        {"UTF-16 big-endian without a mark", std::string("\0a\0b", 4), {u"<invalid>"}},
        {"UTF-32", std::string("\xFF\xFE\0\0a\0\0\0", 8), {u"<invalid>"}},
        {"UTF-16 with a mark, holding a NUL",
         utf16(std::u16string(u"a\0b", 3), false),
         {u"<invalid>"}},
        // Two-byte UTF-8 that code page 932 reads as half-width katakana
        // and kanji: never loaded as those.
        {"UTF-8 Иван", "Иван\r\n", {u"Иван"}},
        {"UTF-8 Ωμέγα, all half-width katakana in code page 932", "Ωμέγα\r\n", {u"Ωμέγα"}},
        {"UTF-8 Да", "Да\r\n", {u"Да"}},
        // EUC-JP, as older Unix editors wrote Japanese: read as its words.
        {"EUC-JP りんご,東京",
         "\xA4\xEA\xA4\xF3\xA4\xB4,\xC5\xEC\xB5\xFE\r\n",
         {u"りんご", u"東京"}},
        {"EUC-JP kana only, half-width marks in code page 932",
         "\xA4\xA2\xA4\xA4\xA4\xA6\r\n",
         {u"あいう"}},
        {"neither code page 932 nor EUC-JP", "\x81\r\n", {u"<invalid>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(read(c.bytes) == c.entries) << hex(c.bytes);
    }
}

TEST(ListFile, WhatSaveWritesReadsBackUnchanged) {
    const Entries entries = {u"りんご", u"",    u"ﾊﾞﾅﾅ", u"a b",        u"～①髙", u"\\",
                             u"表示",   u"x'y", u"=1+1", u"全角　空白", u"a;b"};
    EXPECT_TRUE(read(written(entries)) == entries);
}

// A long List is decoded in two halves at once: every line comes back, and
// a byte that is not code page 932 in either half refuses the whole.
TEST(ListFile, ALongListReadsBackWholeAndABadByteInEitherHalfRefusesIt) {
    Entries entries;
    for (int i = 0; i < 32767; ++i)
        entries.push_back(u"表示の" + std::u16string(1, u'ぁ' + i % 80));
    const std::string bytes = written(entries);
    ASSERT_GT(bytes.size(), 256u * 1024);
    EXPECT_TRUE(read(bytes) == entries);
    for (const std::size_t at : {bytes.size() / 4, bytes.size() * 3 / 4}) {
        std::string bad = bytes;
        bad.insert(bad.find('\n', at) + 1, "\xA0\r\n");
        EXPECT_TRUE(std::holds_alternative<InvalidBytes>(readList(bad))) << at;
    }
}

}  // namespace

// The charset detector on its own (ICU on Linux, MLang on Windows), on the
// same rows: a List of ten words in each encoding is known for what it is.
TEST(CharsetGuess, EachEncodingOfAListOfWordsIsTheLikeliest) {
    const std::u16string words =
        u"りんご\r\nみかん\r\nバナナ\r\n東京都\r\n大阪府\r\n会議室\r\n打ち合わせ\r\n請求書\r\n"
        u"見積書\r\n納品書\r\n";
    const std::string utf8 = wordpour::base::encodeUtf8(words);
    // EUC-JP bytes as an older editor wrote them (iconv's "EUC-JP").
    const std::string eucJp =
        "\xA4\xEA\xA4\xF3\xA4\xB4\r\n\xA4\xDF\xA4\xAB\xA4\xF3\r\n\xA5\xD0\xA5\xCA\xA5\xCA\r\n"
        "\xC5\xEC\xB5\xFE\xC5\xD4\r\n\xC2\xE7\xBA\xE5\xC9\xDC\r\n\xB2\xF1\xB5\xC4\xBC\xBC\r\n"
        "\xC2\xC7\xA4\xC1\xB9\xE7\xA4\xEF\xA4\xBB\r\n\xC0\xC1\xB5\xE1\xBD\xF1\r\n"
        "\xB8\xAB\xC0\xD1\xBD\xF1\r\n\xC7\xBC\xC9\xCA\xBD\xF1\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int wordpour::wordlist::CharsetGuess::*likeliest;
    };
    using Guess = wordpour::wordlist::CharsetGuess;
    const Case cases[] = {
        {"UTF-8", utf8, &Guess::utf8},
        {"code page 932", cp932(words), &Guess::shiftJis},
        {"EUC-JP", eucJp, &Guess::eucJp},
    };
    // The list read back is the same words, whichever encoding it came in.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(read(c.bytes) == read(utf8));
    }
    if (!wordpour::wordlist::guessCharset(utf8))
        GTEST_SKIP() << "no charset detector answers here (Wine's MLang does not implement "
                        "DetectInputCodepage): only the rules above are proven";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto guess = *wordpour::wordlist::guessCharset(c.bytes);
        for (int Guess::*other : {&Guess::utf8, &Guess::shiftJis, &Guess::eucJp}) {
            if (other != c.likeliest) {
                EXPECT_GT(guess.*c.likeliest, guess.*other);
            }
        }
    }
}
