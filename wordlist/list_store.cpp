#include "wordlist/list_store.h"

#include <string>
#include <system_error>

#include "wordlist/whole_file.h"

namespace wordpour::wordlist {

namespace {

std::u16string decimal(std::size_t n) {
    std::u16string text;
    for (char c : std::to_string(n)) text += static_cast<char16_t>(c);
    return text;
}

// "ファイル「/home/…/List」": the absolute path, so the user finds it.
std::u16string named(const std::filesystem::path& path) {
    std::error_code failed;
    std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    if (failed) absolute = path;
    std::u16string shown;
    try {
        shown = absolute.u16string();
    } catch (const std::exception&) {
        shown = u"List";  // a folder name that is not text in the system's encoding
    }
    return u"ファイル「" + shown + u"」";
}

std::u16string because(const FileError& error) {
    return u"\n（" + describe(error) + u"）";
}

}  // namespace

std::variant<Entries, std::u16string> loadListFile(const std::filesystem::path& path) {
    auto read = readWholeFile(path);
    if (auto* error = std::get_if<FileError>(&read)) {
        switch (error->cause) {
            case FileCause::NotFound:
                return named(path) + u"がありません。先に「リスト保存」で保存してください。";
            case FileCause::IsFolder:
                return named(path) + u"はフォルダーなので、リストを読めません。";
            default:
                return named(path) + u"を読めません。" + because(*error);
        }
    }
    auto entries = readList(std::get<std::string>(read));
    if (std::holds_alternative<InvalidBytes>(entries))
        return named(path) +
               u"はシフトJIS（コードページ932）のテキストでも、UTF-8やUTF-16のテキストでもない"
               u"ので、読めません。";
    return std::get<Entries>(std::move(entries));
}

std::optional<std::u16string> saveListFile(const std::filesystem::path& path,
                                           const Entries& entries) {
    auto written = writeList(entries);
    if (auto* bad = std::get_if<Unencodable>(&written)) {
        return u"単語「" + entries[bad->index] + u"」（" + decimal(bad->index + 1) +
               u"番目）はシフトJIS（コードページ932）で書けない文字を含むため、"
               u"リストを保存しません。\n" +
               named(path) + u"は変更していません。";
    }
    const std::string& bytes = std::get<std::string>(written);
    // Bytes that are code page 932 and UTF-8 at once would load back as
    // other words: rather keep the old file. Real text all but never does.
    if (detectEncoding(bytes).encoding != ListEncoding::Cp932) {
        return u"このリストをシフトJIS（コードページ932）で保存すると、読み込むときにUTF-8の"
               u"テキストと区別できず別の単語になるため、保存しません。\n" +
               named(path) + u"は変更していません。";
    }
    if (auto error = replaceWholeFile(path, bytes)) {
        return named(path) + u"に保存できません。元のファイルはそのままです。" + because(*error);
    }
    return std::nullopt;
}

}  // namespace wordpour::wordlist
