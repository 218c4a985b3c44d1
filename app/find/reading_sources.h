// The dictionaries readings come from on Linux, each opened on its own, so
// that a missing package leaves the others working.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "app/find/reading_dictionary.h"

namespace wordpour::find {

// MeCab with IPAdic (libmecab2, mecab-ipadic-utf8): its likeliest ways to
// split and read the word, so that compounds no dictionary lists whole
// (東京都港区) are read too. Nothing where it is not installed.
std::unique_ptr<ReadingDictionary> openMecabDictionary();

// The SKK dictionaries' readings, looked up from the written form: whole
// words, and words split into the dictionaries' words (角田市: 角田 かくだ
// and 市 し). `files` are SKK-JISYO files (EUC-JP), the surest first; those
// missing are left out, and nothing is returned when none is there.
std::unique_ptr<ReadingDictionary> openSkkDictionary(std::vector<std::filesystem::path> files);

}  // namespace wordpour::find
