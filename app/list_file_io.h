// Moving the word list to and from the file "List" in the current
// directory. Failures come back as the message to show; the file and the
// list are then as they were.
#pragma once

#include <variant>

#include <QString>

#include "wordlist/list_file.h"

namespace wordpour::app {

inline constexpr char kListFileName[] = "List";

// All entries of the file, or the message saying why there are none.
std::variant<wordlist::Entries, QString> loadListFile(const QString& path);

// Replaces the file as a whole (a temporary file beside it, then a rename):
// a failure at any point leaves the old file byte for byte. Returns the
// message on failure.
std::optional<QString> saveListFile(const QString& path, const wordlist::Entries& entries);

}  // namespace wordpour::app
