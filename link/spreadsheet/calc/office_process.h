// Finding the user's own LibreOffice, asking it to listen on Wordpour's
// pipe, and starting one when the user agreed. LibreOffice runs one office
// per user profile: a second `soffice` with the same profile hands its
// command line to the running one through the profile's single-instance
// pipe and ends, so `soffice --accept=…` makes a running office listen
// without opening anything.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace wordpour::link::spreadsheet::calc {

// Where Debian installs the office's programs.
inline constexpr std::string_view kUsualFolder = "/usr/lib/libreoffice/program";

// The office profile Wordpour works with, as a file URL: the one named by
// -env:UserInstallation= in WORDPOUR_OFFICE_ARGS, or the user's default.
std::string userInstallation();

// Whether WORDPOUR_OFFICE_ARGS names the profile (-env:UserInstallation=).
bool profileNamed();

// The profiles (file URLs) of the user's offices that run with another
// profile than `installation`.
std::vector<std::string> otherProfiles(const std::string& installation);

// Whether an office of this user's listens on `socketPath` and answers.
bool socketAnswers(const std::string& socketPath);

// The user's own office processes (soffice.bin) with the profile `installation`.
std::vector<pid_t> officeProcesses(const std::string& installation);

// What runs of the user's office with the profile `installation`.
struct OfficeSeen {
    bool process = false;  // a soffice.bin of this user's with that profile
    bool answers = false;  // its single-instance pipe takes a command line
    bool running() const { return process || answers; }
};
OfficeSeen findOffice(const std::string& installation);

// Hands "--accept=pipe,name=<pipe>;urp;" to the office with `installation`
// and waits up to `wait` for `pipe` to answer. Only called when the office's
// single-instance pipe answers, so no second office can start from it.
bool askToListen(const std::string& installation, std::u16string_view pipe,
                 std::chrono::milliseconds wait);

// The Debian package that installs what Wordpour starts.
inline constexpr std::u16string_view kPackage = u"libreoffice-calc";

// The office's program `soffice`: the first on `path` (a PATH value), else
// in the office's usual program folder; nothing when it is not installed.
std::optional<std::string> officeProgram(std::string_view path,
                                         std::string_view usualFolder = kUsualFolder);
std::optional<std::string> officeProgram();  // on this process's PATH

// Starts a new office listening on `pipe`, apart from this program (it
// outlives it), and waits up to `wait` for the pipe to answer. Throws
// spreadsheet::Error when it cannot: NotInstalled, EndedEarly (its status),
// StartTimedOut (the seconds waited).
void startListening(std::u16string_view pipe, std::chrono::milliseconds wait);

// WORDPOUR_OFFICE_ARGS split at spaces: options for an office Wordpour starts.
std::vector<std::string> extraOfficeArgs();

}  // namespace wordpour::link::spreadsheet::calc
