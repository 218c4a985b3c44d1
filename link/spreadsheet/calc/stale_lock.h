// The lock file an office writes beside each document it opens
// (".~lock.<name>#"), which a crash leaves behind: the office started again
// will not load the document while it lies there.
#pragma once

#include <filesystem>
#include <string_view>

namespace wordpour::link::spreadsheet::calc {

// Removes the lock file of `document` when it is this office's own and
// stale: written for this user, on this computer, by the profile that
// `profileUrl` names (the user installation an office of that profile runs
// alone), while that office does not have the document open. A lock of
// anyone or anything else is left alone. Returns whether one was removed.
bool dropOwnStaleLock(const std::filesystem::path& document, std::string_view profileUrl);

}  // namespace wordpour::link::spreadsheet::calc
