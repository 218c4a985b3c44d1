#include "link/spreadsheet/calc/stale_lock.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace wordpour::link::spreadsheet::calc {

namespace {

// The fields of a lock file: office user, system user, host, time, profile;
// ended by ";". A field holding ",", ";" or "\" has it escaped with "\".
std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            fields.back() += text[++i];
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == ';') {
            break;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

bool dropOwnStaleLock(const std::filesystem::path& document, std::string_view profileUrl) {
    const auto lock = document.parent_path() / (".~lock." + document.filename().string() + "#");
    std::ifstream in(lock, std::ios::binary);
    if (!in) return false;
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    in.close();
    const auto fields = fieldsOf(text);
    if (fields.size() < 5 || profileUrl.empty()) return false;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return false;
    const passwd* user = getpwuid(geteuid());
    if (!user || fields[1] != user->pw_name || fields[2] != host || fields[4] != profileUrl)
        return false;
    std::error_code failed;
    return std::filesystem::remove(lock, failed);
}

}  // namespace wordpour::link::spreadsheet::calc
