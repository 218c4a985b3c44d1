// Finds, in order, the places of a text where one of a few pairs of bytes
// begins, or one of a few bytes after a byte that ends what is searched:
// the type-to-find search runs over megabytes of readings at each
// keystroke, and a pair is rare enough where one byte is not, so that few
// places are looked at closer. Sixteen bytes at a step with SSE2.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <span>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wordpour::find {

// At most this many pairs are looked for at once.
constexpr std::size_t kMostPairs = 8;

using BytePair = std::pair<char, char>;

#if defined(__SSE2__)
// Visits, in order, the places a block of sixteen bytes from `at` holds
// (`mask`, a bit a place), and returns where the scan goes on: past the
// block, or wherever a visit sent it beyond.
template <typename Visit>
std::size_t visitBlock(std::size_t at, unsigned mask, Visit& visit) {
    while (mask != 0) {
        const std::size_t from = visit(at + static_cast<std::size_t>(std::countr_zero(mask)));
        if (from >= at + 16) return from;
        // Only the places from `from` on in this block are left.
        mask &= ~((1u << (from - at)) - 1u);
    }
    return at + 16;
}
#endif

// Calls `visit(at)` for each place of `text` where one of `pairs` (at most
// kMostPairs) begins, in order; `visit` returns where to go on from, past
// `at`, to pass over a stretch it needs no more of.
template <typename Visit>
void scanForPairs(std::string_view text, std::span<const BytePair> pairs, Visit visit) {
    const std::size_t size = text.size();
    std::size_t at = 0;
    const std::size_t count = pairs.size() < kMostPairs ? pairs.size() : kMostPairs;
#if defined(__SSE2__)
    // The pairs grouped by their first byte: what was typed gives pairs
    // that mostly share it ("kan" gives かん, かな, かに…), so each first
    // byte is compared once and only the seconds one by one.
    struct Group {
        char byte = 0;
        __m128i first;                // the byte in every lane
        __m128i seconds[kMostPairs];  // not std::array: it would drop the type's attributes
        std::size_t count = 0;
    };
    std::array<Group, kMostPairs> groups{};
    std::size_t groupCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t g = 0;
        while (g < groupCount && groups[g].byte != pairs[i].first) ++g;
        if (g == groupCount) {
            groups[g].byte = pairs[i].first;
            groups[g].first = _mm_set1_epi8(pairs[i].first);
            ++groupCount;
        }
        groups[g].seconds[groups[g].count++] = _mm_set1_epi8(pairs[i].second);
    }
    while (count > 0 && at + 17 <= size) {
        const auto* here = reinterpret_cast<const __m128i*>(text.data() + at);
        const __m128i firsts = _mm_loadu_si128(here);
        const __m128i seconds =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + 1));
        __m128i equal = _mm_setzero_si128();
        for (std::size_t g = 0; g < groupCount; ++g) {
            const Group& group = groups[g];
            __m128i second = _mm_cmpeq_epi8(seconds, group.seconds[0]);
            for (std::size_t i = 1; i < group.count; ++i)
                second = _mm_or_si128(second, _mm_cmpeq_epi8(seconds, group.seconds[i]));
            equal = _mm_or_si128(equal, _mm_and_si128(_mm_cmpeq_epi8(firsts, group.first), second));
        }
        at = visitBlock(at, static_cast<unsigned>(_mm_movemask_epi8(equal)), visit);
    }
#endif
    while (at + 1 < size) {
        bool found = false;
        for (std::size_t i = 0; i < count && !found; ++i)
            found = text[at] == pairs[i].first && text[at + 1] == pairs[i].second;
        at = found ? visit(at) : at + 1;
    }
}

// Calls `visit(at)` for each place of `text` after a byte of at most
// `last` (the ends of what is searched) whose byte is one of `bytes` (at
// most kMostPairs), in order; `visit` returns where to go on from, past
// `at`. Place 0 is never one.
template <typename Visit>
void scanForStarts(std::string_view text, char last, std::string_view bytes, Visit visit) {
    const std::size_t size = text.size();
    std::size_t at = 1;
    const std::size_t count = bytes.size() < kMostPairs ? bytes.size() : kMostPairs;
    const auto ends = [last](char c) {
        return static_cast<unsigned char>(c) <= static_cast<unsigned char>(last);
    };
#if defined(__SSE2__)
    struct Wanted {
        __m128i each;  // the byte in every lane
    };
    std::array<Wanted, kMostPairs> wanted{};
    for (std::size_t i = 0; i < count; ++i) wanted[i].each = _mm_set1_epi8(bytes[i]);
    const __m128i lastByte = _mm_set1_epi8(last);
    while (count > 0 && at + 16 <= size) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i before =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at - 1));
        // A byte of at most `last` is one its maximum with `last` leaves as it was.
        const __m128i after = _mm_cmpeq_epi8(_mm_max_epu8(before, lastByte), lastByte);
        __m128i equal = _mm_cmpeq_epi8(here, wanted[0].each);
        for (std::size_t i = 1; i < count; ++i)
            equal = _mm_or_si128(equal, _mm_cmpeq_epi8(here, wanted[i].each));
        at = visitBlock(at, static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(equal, after))),
                        visit);
    }
#endif
    while (at < size) {
        const bool found =
            ends(text[at - 1]) && bytes.substr(0, count).find(text[at]) != std::string_view::npos;
        at = found ? visit(at) : at + 1;
    }
}

}  // namespace wordpour::find
