// Moving the word list to and from the file "List" in the current
// directory. A failure comes back as its kind, with the file's path and the
// system's cause; the file and the list are then as they were.
#pragma once

#include <filesystem>
#include <optional>
#include <variant>

#include "base/file_error.h"
#include "wordlist/list_file.h"

namespace wordpour::wordlist {

inline constexpr char kListFileName[] = "List";

struct ListFileProblem {
    enum class Kind {
        // Loading
        NotFound,    // no file of that name
        IsFolder,    // the name is a folder's
        Unreadable,  // reading failed: `error` says why
        NotText,     // neither code page 932 nor UTF-8 nor UTF-16 text
        // Saving
        Unencodable,  // entry `index` holds a character code page 932 cannot
        Ambiguous,    // the bytes would read back as UTF-8 or EUC-JP: other words
        NotSaved,     // replacing the file failed: `error` says why
    };
    Kind kind;
    std::filesystem::path path;  // absolute where it can be made so
    base::FileError error{};
    std::size_t index = 0;
};

// All entries of the file, or why there are none.
std::variant<Entries, ListFileProblem> loadListFile(const std::filesystem::path& path);

// Replaces the file as a whole; a failure at any point leaves the old file
// byte for byte.
std::optional<ListFileProblem> saveListFile(const std::filesystem::path& path,
                                            const Entries& entries);

}  // namespace wordpour::wordlist
