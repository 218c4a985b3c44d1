#include "app/find/kana.h"

#include <algorithm>
#include <array>

namespace wordpour::find {

namespace {

struct Spelling {
    std::string_view romaji;
    std::u16string_view kana;
};

// The spellings of Japanese input methods, which take Hepburn's too: shi
// and si, tsu and tu, chi and ti, fu and hu, ja, jya and zya. A row each
// consonant, as a kana chart reads.
// clang-format off
constexpr Spelling kSpellings[] = {
    {"a", u"あ"}, {"i", u"い"}, {"u", u"う"}, {"e", u"え"}, {"o", u"お"},
    {"ka", u"か"}, {"ki", u"き"}, {"ku", u"く"}, {"ke", u"け"}, {"ko", u"こ"},
    {"kya", u"きゃ"}, {"kyi", u"きぃ"}, {"kyu", u"きゅ"}, {"kye", u"きぇ"}, {"kyo", u"きょ"},
    {"ca", u"か"}, {"ci", u"し"}, {"cu", u"く"}, {"ce", u"せ"}, {"co", u"こ"},
    {"qa", u"くぁ"}, {"qi", u"くぃ"}, {"qe", u"くぇ"}, {"qo", u"くぉ"},
    {"sa", u"さ"}, {"si", u"し"}, {"shi", u"し"}, {"su", u"す"}, {"se", u"せ"}, {"so", u"そ"},
    {"sya", u"しゃ"}, {"syu", u"しゅ"}, {"sye", u"しぇ"}, {"syo", u"しょ"},
    {"sha", u"しゃ"}, {"shu", u"しゅ"}, {"she", u"しぇ"}, {"sho", u"しょ"},
    {"shya", u"しゃ"}, {"shyu", u"しゅ"}, {"shye", u"しぇ"}, {"shyo", u"しょ"},
    {"ta", u"た"}, {"ti", u"ち"}, {"chi", u"ち"}, {"tu", u"つ"}, {"tsu", u"つ"}, {"te", u"て"},
    {"to", u"と"},
    {"tya", u"ちゃ"}, {"tyu", u"ちゅ"}, {"tye", u"ちぇ"}, {"tyo", u"ちょ"},
    {"cha", u"ちゃ"}, {"chu", u"ちゅ"}, {"che", u"ちぇ"}, {"cho", u"ちょ"},
    {"chya", u"ちゃ"}, {"chyu", u"ちゅ"}, {"chye", u"ちぇ"}, {"chyo", u"ちょ"},
    {"cya", u"ちゃ"}, {"cyu", u"ちゅ"}, {"cye", u"ちぇ"}, {"cyo", u"ちょ"},
    {"tsa", u"つぁ"}, {"tsi", u"つぃ"}, {"tse", u"つぇ"}, {"tso", u"つぉ"},
    {"thi", u"てぃ"}, {"thu", u"てゅ"}, {"twu", u"とぅ"},
    {"na", u"な"}, {"ni", u"に"}, {"nu", u"ぬ"}, {"ne", u"ね"}, {"no", u"の"},
    {"nya", u"にゃ"}, {"nyi", u"にぃ"}, {"nyu", u"にゅ"}, {"nye", u"にぇ"}, {"nyo", u"にょ"},
    {"ha", u"は"}, {"hi", u"ひ"}, {"hu", u"ふ"}, {"fu", u"ふ"}, {"he", u"へ"}, {"ho", u"ほ"},
    {"hya", u"ひゃ"}, {"hyi", u"ひぃ"}, {"hyu", u"ひゅ"}, {"hye", u"ひぇ"}, {"hyo", u"ひょ"},
    {"fa", u"ふぁ"}, {"fi", u"ふぃ"}, {"fe", u"ふぇ"}, {"fo", u"ふぉ"},
    {"fya", u"ふゃ"}, {"fyu", u"ふゅ"}, {"fyo", u"ふょ"},
    {"ma", u"ま"}, {"mi", u"み"}, {"mu", u"む"}, {"me", u"め"}, {"mo", u"も"},
    {"mya", u"みゃ"}, {"myi", u"みぃ"}, {"myu", u"みゅ"}, {"mye", u"みぇ"}, {"myo", u"みょ"},
    {"ya", u"や"}, {"yu", u"ゆ"}, {"ye", u"いぇ"}, {"yo", u"よ"},
    {"ra", u"ら"}, {"ri", u"り"}, {"ru", u"る"}, {"re", u"れ"}, {"ro", u"ろ"},
    {"rya", u"りゃ"}, {"ryi", u"りぃ"}, {"ryu", u"りゅ"}, {"rye", u"りぇ"}, {"ryo", u"りょ"},
    {"wa", u"わ"}, {"wi", u"うぃ"}, {"we", u"うぇ"}, {"wo", u"を"}, {"wyi", u"ゐ"},
    {"wye", u"ゑ"},
    {"ga", u"が"}, {"gi", u"ぎ"}, {"gu", u"ぐ"}, {"ge", u"げ"}, {"go", u"ご"},
    {"gya", u"ぎゃ"}, {"gyi", u"ぎぃ"}, {"gyu", u"ぎゅ"}, {"gye", u"ぎぇ"}, {"gyo", u"ぎょ"},
    {"za", u"ざ"}, {"zi", u"じ"}, {"ji", u"じ"}, {"zu", u"ず"}, {"ze", u"ぜ"}, {"zo", u"ぞ"},
    {"zya", u"じゃ"}, {"zyi", u"じぃ"}, {"zyu", u"じゅ"}, {"zye", u"じぇ"}, {"zyo", u"じょ"},
    {"ja", u"じゃ"}, {"ju", u"じゅ"}, {"je", u"じぇ"}, {"jo", u"じょ"},
    {"jya", u"じゃ"}, {"jyi", u"じぃ"}, {"jyu", u"じゅ"}, {"jye", u"じぇ"}, {"jyo", u"じょ"},
    {"da", u"だ"}, {"di", u"ぢ"}, {"du", u"づ"}, {"de", u"で"}, {"do", u"ど"},
    {"dya", u"ぢゃ"}, {"dyi", u"ぢぃ"}, {"dyu", u"ぢゅ"}, {"dye", u"ぢぇ"}, {"dyo", u"ぢょ"},
    {"dhi", u"でぃ"}, {"dhu", u"でゅ"}, {"dwu", u"どぅ"},
    {"ba", u"ば"}, {"bi", u"び"}, {"bu", u"ぶ"}, {"be", u"べ"}, {"bo", u"ぼ"},
    {"bya", u"びゃ"}, {"byi", u"びぃ"}, {"byu", u"びゅ"}, {"bye", u"びぇ"}, {"byo", u"びょ"},
    {"pa", u"ぱ"}, {"pi", u"ぴ"}, {"pu", u"ぷ"}, {"pe", u"ぺ"}, {"po", u"ぽ"},
    {"pya", u"ぴゃ"}, {"pyi", u"ぴぃ"}, {"pyu", u"ぴゅ"}, {"pye", u"ぴぇ"}, {"pyo", u"ぴょ"},
    {"va", u"ゔぁ"}, {"vi", u"ゔぃ"}, {"vu", u"ゔ"}, {"ve", u"ゔぇ"}, {"vo", u"ゔぉ"},
    {"xa", u"ぁ"}, {"xi", u"ぃ"}, {"xu", u"ぅ"}, {"xe", u"ぇ"}, {"xo", u"ぉ"},
    {"la", u"ぁ"}, {"li", u"ぃ"}, {"lu", u"ぅ"}, {"le", u"ぇ"}, {"lo", u"ぉ"},
    {"xya", u"ゃ"}, {"xyu", u"ゅ"}, {"xyo", u"ょ"}, {"lya", u"ゃ"}, {"lyu", u"ゅ"},
    {"lyo", u"ょ"}, {"xtu", u"っ"}, {"ltu", u"っ"}, {"xtsu", u"っ"}, {"ltsu", u"っ"},
    {"xwa", u"ゎ"}, {"lwa", u"ゎ"}, {"xka", u"ゕ"}, {"xke", u"ゖ"},
    {"nn", u"ん"}, {"n'", u"ん"}, {"-", u"ー"},
};
// clang-format on

constexpr std::size_t kLongestSpelling = 4;

bool isVowel(char16_t c) {
    return c == u'a' || c == u'i' || c == u'u' || c == u'e' || c == u'o';
}
bool isLetter(char16_t c) {
    return c >= u'a' && c <= u'z';
}
bool isHiragana(char16_t c) {
    return (c >= 0x3041 && c <= 0x3096) || c == u'ー';
}
bool isKatakana(char16_t c) {
    return c >= 0x30A1 && c <= 0x30F6;
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

const Spelling* spelled(std::u16string_view romaji) {
    for (const Spelling& s : kSpellings)
        if (s.romaji.size() == romaji.size() &&
            std::equal(romaji.begin(), romaji.end(), s.romaji.begin()))
            return &s;
    return nullptr;
}

// The kana of every spelling that begins with `start`, without those that
// another of them begins: "k" gives か, き, く, け, こ (きゃ is in き).
std::vector<std::u16string> goingOn(std::u16string_view start) {
    std::vector<std::u16string> forms;
    for (const Spelling& s : kSpellings)
        if (s.romaji.size() > start.size() &&
            std::equal(start.begin(), start.end(), s.romaji.begin()))
            forms.emplace_back(s.kana);
    // A consonant typed once may be the first of two: っ.
    if (start.size() == 1 && !isVowel(start[0]) && start[0] != u'n' && !forms.empty())
        forms.emplace_back(u"っ");
    std::sort(forms.begin(), forms.end());
    forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
    std::vector<std::u16string> kept;
    for (const auto& form : forms)
        if (kept.empty() || !form.starts_with(kept.back())) kept.push_back(form);
    return kept;
}

// A reading of romaji so far: its kana, and what is left at the end that
// only begins a spelling.
struct Read {
    std::u16string kana;
    std::u16string rest;
};

// At most this many ways to read one text: "nn" before a vowel is read two
// ways, and a long text must not make thousands.
constexpr std::size_t kMostWays = 16;

// Reads `text` (hiragana and romaji) from `at` on after `kana`, into `ways`.
void readRomaji(std::u16string_view text, std::size_t at, std::u16string kana,
                std::vector<Read>& ways) {
    while (at < text.size()) {
        const char16_t c = text[at];
        // Digits are read as written: 2号館 is 2ごうかん.
        if (isHiragana(c) || isDigit(c)) {
            kana += c;
            ++at;
            continue;
        }
        if (!isLetter(c) && c != u'-' && c != u'\'') return;
        const std::u16string_view left = text.substr(at);
        // "nn" is ん. Before a vowel or y, its second n may begin the next
        // syllable, as Hepburn spells it ("konnichiwa"), or not, as the
        // input methods do ("gennin" for げんいん): both are read.
        if (c == u'n' && left.size() >= 2 && left[1] == u'n') {
            kana += u'ん';
            if (left.size() >= 3 && (isVowel(left[2]) || left[2] == u'y') &&
                ways.size() < kMostWays)
                readRomaji(text, at + 1, kana, ways);
            at += 2;
            continue;
        }
        // ん before a consonant other than y: "kanji", "shinbun".
        if (c == u'n' && left.size() >= 2 && isLetter(left[1]) && !isVowel(left[1]) &&
            left[1] != u'y') {
            kana += u'ん';
            ++at;
            continue;
        }
        // A doubled consonant is っ: "kitte", "matcha".
        if (left.size() >= 2 && isLetter(c) && !isVowel(c) && c != u'n' &&
            (left[1] == c || (c == u't' && left[1] == u'c'))) {
            kana += u'っ';
            ++at;
            continue;
        }
        const Spelling* found = nullptr;
        for (std::size_t length = std::min(kLongestSpelling, left.size()); length > 0 && !found;
             --length)
            found = spelled(left.substr(0, length));
        if (found) {
            kana += found->kana;
            at += found->romaji.size();
            continue;
        }
        // Only the end may be a syllable not typed whole.
        if (left.size() >= kLongestSpelling || goingOn(left).empty()) return;
        for (char16_t r : left)
            if (!isLetter(r) && r != u'\'') return;
        ways.push_back({std::move(kana), std::u16string(left)});
        return;
    }
    ways.push_back({std::move(kana), {}});
}

std::vector<Read> readRomaji(std::u16string_view text) {
    std::vector<Read> ways;
    if (!text.empty()) readRomaji(text, 0, {}, ways);
    return ways;
}

}  // namespace

std::u16string toHiragana(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        if (isKatakana(c)) c = static_cast<char16_t>(c - 0x60);
    return out;
}

bool isKana(std::u16string_view text) {
    if (text.empty()) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char16_t c) { return isHiragana(c) || isKatakana(c); });
}

bool isReading(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return isHiragana(c) || isKatakana(c); }) &&
           std::all_of(text.begin(), text.end(),
                       [](char16_t c) { return isHiragana(c) || isKatakana(c) || isDigit(c); });
}

namespace {

// The romaji of kana, as the first spelling of the table writes each.
std::u16string spell(std::u16string_view kana) {
    std::u16string out;
    for (std::size_t at = 0; at < kana.size();) {
        const Spelling* found = nullptr;
        for (std::size_t length = std::min<std::size_t>(2, kana.size() - at); length > 0 && !found;
             --length)
            for (const Spelling& s : kSpellings)
                if (s.kana == kana.substr(at, length) && s.romaji != "xtu") {
                    found = &s;
                    break;
                }
        if (kana[at] == u'っ') {
            // Doubles the consonant after it, as it is typed.
            const std::u16string next = spell(kana.substr(at + 1, 1));
            out += !next.empty() && !isVowel(next[0]) ? next.substr(0, 1) : u"xtu";
            ++at;
            continue;
        }
        if (!found) return {};
        out.append(found->romaji.begin(), found->romaji.end());
        at += found->kana.size();
    }
    return out;
}

// A word begun on a button starts with the letter typed there, the input
// method composing the rest as kana: "t" then おうきょう is "toukyou". Kana
// after a letter are spelled back into romaji, to be read with it.
std::u16string joinedWithLetters(std::u16string text) {
    const auto letter = std::find_if(text.begin(), text.end(), isLetter);
    if (letter == text.end()) return text;
    std::u16string out(text.begin(), letter);
    for (auto at = letter; at != text.end();) {
        auto run =
            std::find_if(at, text.end(), [](char16_t c) { return isHiragana(c) && c != u'ー'; });
        out.append(at, run);
        auto end = std::find_if_not(run, text.end(),
                                    [](char16_t c) { return isHiragana(c) && c != u'ー'; });
        if (run != end) {
            const std::u16string romaji =
                spell(std::u16string_view(&*run, static_cast<std::size_t>(end - run)));
            if (romaji.empty()) return text;
            out += romaji;
        }
        at = end;
    }
    return out;
}

}  // namespace

TypedReading typedReading(std::u16string_view key) {
    TypedReading reading;
    for (const Read& way : readRomaji(joinedWithLetters(toHiragana(key)))) {
        if (way.rest.empty()) {
            reading.forms.push_back(way.kana);
            continue;
        }
        for (const auto& next : goingOn(way.rest)) reading.forms.push_back(way.kana + next);
    }
    return reading;
}

std::optional<std::u16string> readingOf(std::u16string_view typed) {
    std::u16string text;
    for (char16_t c : typed) {
        if (isDigit(c)) return std::nullopt;  // a reading the person gives is kana alone
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c == u'ｰ' || c == u'－') c = u'ー';
        if (c != u' ' && c != u'　') text += c;
    }
    // The input methods' reading when the text is read two ways: the last.
    const auto ways = readRomaji(toHiragana(text));
    if (ways.empty()) return std::nullopt;
    const Read& way = ways.back();
    if (way.rest == u"n") return way.kana + u'ん';
    if (!way.rest.empty()) return std::nullopt;
    return way.kana;
}

namespace {

// The vowel a kana ends in; 0 for none (ん, っ, ー, anything not kana).
char vowelOf(char16_t c) {
    constexpr std::u16string_view kRows[] = {
        u"あかさたなはまやらわがざだばぱぁゃゎ", u"いきしちにひみりゐぎじぢびぴぃ",
        u"うくすつぬふむゆるぐずづぶぷぅゅゔ", u"えけせてねへめれゑげぜでべぺぇ",
        u"おこそとのほもよろをごぞどぼぽぉょ"};
    constexpr char kVowels[] = "aiueo";
    for (std::size_t row = 0; row < 5; ++row)
        if (kRows[row].find(c) != std::u16string_view::npos) return kVowels[row];
    return 0;
}

}  // namespace

std::u16string withoutLongVowels(std::u16string_view reading) {
    std::u16string shorter;
    shorter.reserve(reading.size());
    char before = 0;
    for (char16_t c : reading) {
        const bool longVowel = c == u'ー' || (c == u'う' && (before == 'o' || before == 'u')) ||
                               (c == u'お' && before == 'o');
        if (longVowel) continue;
        shorter += c;
        before = vowelOf(c);
    }
    return shorter.empty() ? std::u16string(reading) : shorter;
}

}  // namespace wordpour::find
