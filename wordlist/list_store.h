// Moving the word list to and from the file "List" in the current
// directory. Failures come back as the message to show, in Japanese; the
// file and the list are then as they were.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "wordlist/list_file.h"

namespace wordpour::wordlist {

inline constexpr char kListFileName[] = "List";

// All entries of the file, or the message saying why there are none.
std::variant<Entries, std::u16string> loadListFile(const std::filesystem::path& path);

// Replaces the file as a whole; a failure at any point leaves the old file
// byte for byte. Returns the message on failure.
std::optional<std::u16string> saveListFile(const std::filesystem::path& path,
                                           const Entries& entries);

}  // namespace wordpour::wordlist
