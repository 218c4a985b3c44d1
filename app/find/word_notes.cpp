#include "app/find/word_notes.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <unordered_set>

#include "base/tab_fields.h"

namespace wordpour::find {

namespace {

// The file's first line: what it is, and its format's version.
constexpr std::string_view kHeader = "wordpour word notes 1";
// A learned reading has a line of its own, marked with a source number the
// first version of the format did not have: that version skips the line
// and reads the rest.
constexpr int kLearnedLine = 4;

// A line of a word as long as a cell holds, escaped, and its reading.
constexpr std::size_t kLongestLine = std::size_t{256} * 1024;

// A learned reading from a file: kana and digits, as learning takes them.
bool isReadingText(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= 0x3041 && c <= 0x3096) || c == 0x30FC || (c >= u'0' && c <= u'9');
    });
}

template <typename Number>
std::optional<Number> number(std::string_view field) {
    Number value{};
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

}  // namespace

const WordNote* WordNotes::find(std::u16string_view word) const {
    const auto found = notes_.find(word);
    return found == notes_.end() ? nullptr : &found->second;
}

bool WordNotes::setReading(const std::u16string& word, std::u16string reading,
                           ReadingSource source) {
    WordNote& note = notes_[word];
    if (source < note.source || note.reading == reading) return false;
    note.reading = std::move(reading);
    note.source = source;
    return true;
}

void WordNotes::correct(const std::u16string& word, std::u16string reading) {
    WordNote& note = notes_[word];
    note.source = reading.empty() ? ReadingSource::None : ReadingSource::Person;
    if (reading.empty()) note.learned.clear();
    note.reading = std::move(reading);
}

void WordNotes::learn(const std::u16string& word, std::u16string reading) {
    auto& learned = notes_[word].learned;
    std::erase(learned, reading);
    learned.insert(learned.begin(), std::move(reading));
    if (learned.size() > kMostLearned) learned.pop_back();
}

void WordNotes::used(const std::u16string& word) {
    WordNote& note = notes_[word];
    // Counts stop at their largest value, never wrap to the last place: a
    // file may hold any number.
    if (note.uses < std::numeric_limits<std::uint32_t>::max()) ++note.uses;
    if (clock_ < std::numeric_limits<std::uint64_t>::max()) ++clock_;
    note.lastUse = clock_;
}

std::vector<std::u16string_view> WordNotes::wordsReadByThem() const {
    std::vector<std::u16string_view> words;
    for (const auto& [word, note] : notes_)
        if (readByThem(note)) words.push_back(word);
    return words;
}

std::string WordNotes::write(const std::vector<std::u16string>& words,
                             const DictionaryReading& dictionary) const {
    std::string text(kHeader);
    text += '\n';
    std::unordered_set<std::u16string_view> written;
    const WordNote none;
    for (const auto& word : words) {
        const WordNote* found = find(word);
        const WordNote& note = found ? *found : none;
        std::u16string reading = note.reading;
        auto source = note.source;
        if (source <= ReadingSource::Dictionary)
            if (std::u16string read = dictionary(word); !read.empty()) {
                reading = std::move(read);
                source = ReadingSource::Dictionary;
            }
        if (reading.empty() && note.uses == 0 && note.learned.empty()) continue;
        if (!written.insert(word).second) continue;
        const auto line = [&](std::u16string_view shown, int from) {
            base::appendField(text, word);
            text += '\t';
            base::appendField(text, shown);
            text += '\t' + std::to_string(from) + '\t' + std::to_string(note.uses) + '\t' +
                    std::to_string(note.lastUse) + '\n';
        };
        // The oldest learned first: read back in turn, the newest ends first.
        for (auto learned = note.learned.rbegin(); learned != note.learned.rend(); ++learned)
            line(*learned, kLearnedLine);
        line(reading, static_cast<int>(source));
    }
    return text;
}

bool WordNotes::read(std::istream& file, const std::function<bool(std::u16string_view)>& wanted) {
    using Traits = std::char_traits<char>;
    std::streambuf* bytes = file.rdbuf();
    if (!bytes) return true;
    std::string line;
    // The next line into `line`; false at the end. A line longer than any
    // note is passed over without being kept, and left empty.
    const auto next = [&] {
        line.clear();
        std::size_t length = 0;
        for (int c = bytes->sbumpc(); c != '\n'; c = bytes->sbumpc(), ++length) {
            if (c == Traits::eof()) return length > 0;
            if (length < kLongestLine) line += static_cast<char>(c);
        }
        if (length > kLongestLine) line.clear();
        return true;
    };
    if (!next() || !line.starts_with(kHeader)) return true;
    for (std::size_t lines = 0; lines < kMostLines; ++lines) {
        if (!next()) return true;
        take(line, wanted);
    }
    return bytes->sgetc() == Traits::eof();
}

void WordNotes::take(std::string_view line,
                     const std::function<bool(std::u16string_view)>& wanted) {
    const auto parts = base::splitFields(line);
    if (parts.size() != 5) return;
    const auto word = base::fieldText(parts[0]);
    if (!word || !wanted(*word)) return;
    const auto reading = base::fieldText(parts[1]);
    const auto source = number<int>(parts[2]);
    const auto uses = number<std::uint32_t>(parts[3]);
    const auto lastUse = number<std::uint64_t>(parts[4]);
    if (!reading || !source || !uses || !lastUse || *source < 0 || *source > kLearnedLine) return;
    // What this run learnt stays: a file read later adds to it.
    WordNote& note = notes_[*word];
    if (*source == kLearnedLine) {
        if (isReadingText(*reading)) learn(*word, *reading);
        return;
    }
    const auto from = static_cast<ReadingSource>(*source);
    if (from >= note.source && !reading->empty()) {
        note.reading = *reading;
        note.source = from;
    }
    note.uses = std::max(note.uses, *uses);
    note.lastUse = std::max(note.lastUse, *lastUse);
    clock_ = std::max(clock_, *lastUse);
}

}  // namespace wordpour::find
