// What the benchmarks time with: a word list at its largest, of words of 2
// to 20 characters drawn from Japanese and ASCII, the same on every run.
#pragma once

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "wordlist/list_file.h"

namespace wordpour::bench {

inline double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

inline std::vector<std::u16string> sampleWords() {
    static const std::u16string letters =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        u"あいうえおかきくけこさしすせそたちつてとなにぬねのりんごみかん"
        u"アイウエオカキクケコﾘｽﾄﾊﾞﾅﾅ入力単語表示保存削除追加開く日本語漢字";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> length(2, 20), letter(0, letters.size() - 1);
    std::vector<std::u16string> words;
    for (std::size_t i = 0; i < wordlist::kMaxEntries; ++i) {
        std::u16string word;
        for (std::size_t n = length(random); n > 0; --n) word += letters[letter(random)];
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace wordpour::bench
