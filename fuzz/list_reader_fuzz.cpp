// libFuzzer target for load's field reader. Besides crashes and sanitizer
// reports it checks the format's promise: every entry read that holds no
// comma, double quote or line end and neither begins nor ends with a space
// or tab survives a save and a load unchanged, when save writes it.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "wordlist/list_file.h"

namespace {

bool survives(const std::u16string& entry) {
    if (!entry.empty()) {
        const char16_t first = entry.front(), last = entry.back();
        if (first == u' ' || first == u'\t' || last == u' ' || last == u'\t') return false;
    }
    return entry.find_first_of(u",\"\r\n") == std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wordpour::wordlist;
    auto read = readList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (std::holds_alternative<InvalidBytes>(read)) return 0;

    Entries kept;
    for (auto& entry : std::get<Entries>(read))
        if (survives(entry)) kept.push_back(std::move(entry));
    auto written = writeList(kept);
    if (!std::holds_alternative<std::string>(written)) {
        // Code page 932 text always encodes again; UTF-8 and UTF-16 may
        // hold characters it lacks, which save refuses to write.
        if (detectEncoding(std::string_view(reinterpret_cast<const char*>(data), size)).encoding ==
            ListEncoding::Cp932)
            std::abort();
        return 0;
    }
    // Save refuses bytes that would load back as UTF-8.
    if (detectEncoding(std::get<std::string>(written)).encoding != ListEncoding::Cp932) return 0;
    auto again = readList(std::get<std::string>(written));
    if (!std::holds_alternative<Entries>(again) || std::get<Entries>(again) != kept) std::abort();
    return 0;
}
