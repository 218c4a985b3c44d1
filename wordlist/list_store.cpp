#include "wordlist/list_store.h"

#include <string>
#include <system_error>

#include "base/whole_file.h"

namespace wordpour::wordlist {

namespace {

ListFileProblem problem(ListFileProblem::Kind kind, const std::filesystem::path& path,
                        base::FileError error = {}, std::size_t index = 0) {
    return {kind, base::absolutePath(path), error, index};
}

}  // namespace

std::variant<Entries, ListFileProblem> loadListFile(const std::filesystem::path& path) {
    using Kind = ListFileProblem::Kind;
    auto read = base::readWholeFile(path);
    if (auto* error = std::get_if<base::FileError>(&read)) {
        switch (error->cause) {
            case base::FileCause::NotFound:
                return problem(Kind::NotFound, path, *error);
            case base::FileCause::IsFolder:
                return problem(Kind::IsFolder, path, *error);
            case base::FileCause::NoSpace:
            case base::FileCause::PermissionDenied:
            case base::FileCause::ReadOnlyFileSystem:
            case base::FileCause::TooLarge:
            case base::FileCause::NotRegular:
            case base::FileCause::LinkLoop:
            case base::FileCause::NotAFolder:
            case base::FileCause::Other:
                break;
        }
        return problem(Kind::Unreadable, path, *error);
    }
    auto entries = readList(std::get<std::string>(read));
    if (std::holds_alternative<InvalidBytes>(entries)) return problem(Kind::NotText, path);
    return std::get<Entries>(std::move(entries));
}

std::optional<ListFileProblem> saveListFile(const std::filesystem::path& path,
                                            const Entries& entries) {
    using Kind = ListFileProblem::Kind;
    auto written = writeList(entries);
    if (auto* bad = std::get_if<Unencodable>(&written))
        return problem(Kind::Unencodable, path, {}, bad->index);
    const std::string& bytes = std::get<std::string>(written);
    // Bytes that are code page 932 and UTF-8 at once would load back as
    // other words: rather keep the old file. Real text all but never does.
    if (detectEncoding(bytes).encoding != ListEncoding::Cp932)
        return problem(Kind::Ambiguous, path);
    if (auto error = base::replaceWholeFile(path, bytes))
        return problem(Kind::NotSaved, path, *error);
    return std::nullopt;
}

}  // namespace wordpour::wordlist
