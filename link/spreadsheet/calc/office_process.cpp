#include "link/spreadsheet/calc/office_process.h"

#include "link/spreadsheet/automation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <rtl/digest.h>

#include "link/spreadsheet/calc/uno_connection.h"

extern char** environ;

namespace wordpour::link::spreadsheet::calc {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::string_view kInstallationOption = "-env:UserInstallation=";
constexpr milliseconds kPoll{100};

// A file URL for an absolute path, as the office writes one: bytes other
// than the unreserved ones and '/' percent-encoded.
std::string fileUrl(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

// The default profile: $SYSUSERCONFIG/libreoffice/4, where the user's
// configuration folder is XDG_CONFIG_HOME or ~/.config.
std::string defaultInstallation() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return fileUrl(folder + "/libreoffice/4");
}

// The office names its single-instance pipe after the MD5 of the profile's
// URL in UTF-16 (little-endian here), each byte in hex without padding.
std::string singleInstancePipe(const std::string& installation) {
    std::u16string wide(installation.begin(), installation.end());  // a URL: ASCII
    std::array<sal_uInt8, RTL_DIGEST_LENGTH_MD5> digest{};
    rtl_digest_MD5(wide.data(), static_cast<sal_uInt32>(wide.size() * sizeof(char16_t)),
                   digest.data(), static_cast<sal_uInt32>(digest.size()));
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = "SingleOfficeIPC_";
    for (sal_uInt8 byte : digest) {
        // Each byte in hex without a leading zero, as the office writes it.
        if (byte >= 16) name += kHex[byte >> 4];
        name += kHex[byte & 15];
    }
    return name;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The profile named on a process's command line, or the default one.
std::string installationOf(const std::string& cmdline) {
    std::size_t start = 0;
    while (start < cmdline.size()) {
        std::size_t end = cmdline.find('\0', start);
        if (end == std::string::npos) end = cmdline.size();
        std::string_view arg(cmdline.data() + start, end - start);
        if (arg.starts_with("-") && arg.substr(1).starts_with(kInstallationOption))
            arg.remove_prefix(1);  // --env:… works as well as -env:…
        if (arg.starts_with(kInstallationOption))
            return std::string(arg.substr(kInstallationOption.size()));
        start = end + 1;
    }
    return defaultInstallation();
}

}  // namespace

namespace {

// Calls `seen` with the process id and profile of each of the user's offices.
template <typename Seen>
void eachOffice(Seen seen) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) != 0 || info.st_uid != ::getuid()) continue;
        if (readFile(entry.path() / "comm") != "soffice.bin\n") continue;
        seen(static_cast<pid_t>(std::stol(name)),
             installationOf(readFile(entry.path() / "cmdline")));
    }
}

}  // namespace

std::vector<std::string> otherProfiles(const std::string& installation) {
    std::vector<std::string> found;
    eachOffice([&](pid_t, const std::string& profile) {
        if (profile != installation &&
            std::find(found.begin(), found.end(), profile) == found.end())
            found.push_back(profile);
    });
    return found;
}

std::vector<pid_t> officeProcesses(const std::string& installation) {
    std::vector<pid_t> found;
    eachOffice([&](pid_t pid, const std::string& profile) {
        if (profile == installation) found.push_back(pid);
    });
    return found;
}

namespace {

std::string toAscii(std::u16string_view pipe) {
    return std::string(pipe.begin(), pipe.end());  // pipe names are plain ASCII
}

std::string acceptOption(std::u16string_view pipe) {
    return "--accept=pipe,name=" + toAscii(pipe) + ";urp;";
}

// The environment for the office: ours, without the bootstrap setting the
// UNO runtime in this process needs and the office sets for itself.
std::vector<char*> officeEnvironment() {
    std::vector<char*> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "URE_BOOTSTRAP=", 14) != 0) env.push_back(*entry);
    env.push_back(nullptr);
    return env;
}

// Starts the office's program with `args` in a session of its own, its
// output discarded, with the signals this program ignores back at their
// defaults.
pid_t spawnOffice(const std::vector<std::string>& args) {
    const std::optional<std::string> program = officeProgram();
    if (!program)
        throw Error(Failure::NotInstalled, u"soffice: not found", Remedy::Install,
                    std::u16string(kPackage));
    std::vector<std::string> all{*program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    auto env = officeEnvironment();
    pid_t pid = -1;
    const int status =
        posix_spawn(&pid, program->c_str(), &files, &attributes, argv.data(), env.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (status != 0) {
        const std::string why = "soffice: " + std::string(std::strerror(status));
        throw Error(Failure::NotRunning, std::u16string(why.begin(), why.end()));
    }
    return pid;
}

bool pipeAnswersWithin(std::u16string_view pipe, milliseconds wait) {
    const auto until = Clock::now() + wait;
    for (;;) {
        if (socketAnswers(pipeSocketPath(pipe))) return true;
        if (Clock::now() >= until) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

// Waits up to `wait` for `pid` to end; its exit status, or -1 if it runs on.
int exitStatusWithin(pid_t pid, milliseconds wait) {
    const auto until = Clock::now() + wait;
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (done < 0) return 128;
        if (Clock::now() >= until) return -1;
        std::this_thread::sleep_for(kPoll);
    }
}

}  // namespace

std::vector<std::string> extraOfficeArgs() {
    std::vector<std::string> args;
    const char* extra = std::getenv("WORDPOUR_OFFICE_ARGS");
    std::istringstream words(extra != nullptr ? extra : "");
    for (std::string word; words >> word;) args.push_back(word);
    return args;
}

bool profileNamed() {
    for (std::string_view arg : extraOfficeArgs()) {
        if (arg.starts_with("--")) arg.remove_prefix(1);
        if (arg.starts_with(kInstallationOption)) return true;
    }
    return false;
}

std::string userInstallation() {
    for (std::string_view arg : extraOfficeArgs()) {
        if (arg.starts_with("--")) arg.remove_prefix(1);
        if (arg.starts_with(kInstallationOption))
            return std::string(arg.substr(kInstallationOption.size()));
    }
    return defaultInstallation();
}

bool socketAnswers(const std::string& socketPath) {
    // Only a socket of this user's own: /tmp is shared.
    struct stat info {};
    if (::lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

OfficeSeen findOffice(const std::string& installation) {
    OfficeSeen seen;
    const std::string pipe = singleInstancePipe(installation);
    seen.answers = socketAnswers(pipeSocketPath(std::u16string(pipe.begin(), pipe.end())));
    seen.process = !officeProcesses(installation).empty();
    return seen;
}

bool askToListen(const std::string& installation, std::u16string_view pipe, milliseconds wait) {
    std::vector<std::string> args;
    if (installation != defaultInstallation())
        args.push_back(std::string(kInstallationOption) + installation);
    args.push_back(acceptOption(pipe));
    const pid_t pid = spawnOffice(args);
    // The handing-over soffice ends as soon as the office took the line.
    if (exitStatusWithin(pid, wait) < 0) {
        // It runs on: the office ended meanwhile and this one started in
        // its place. Nobody asked for it: it ends (it leads its session).
        ::kill(-pid, SIGTERM);
        if (exitStatusWithin(pid, milliseconds(5000)) < 0) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        return false;
    }
    return pipeAnswersWithin(pipe, wait);
}

std::optional<std::string> officeProgram(std::string_view path, std::string_view usualFolder) {
    std::vector<std::string> folders;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        if (end > start) folders.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    folders.emplace_back(usualFolder);
    for (const auto& folder : folders) {
        const std::string program = folder + "/soffice";
        if (::access(program.c_str(), X_OK) == 0) return program;
    }
    return std::nullopt;
}

std::optional<std::string> officeProgram() {
    const char* path = std::getenv("PATH");
    return officeProgram(path != nullptr ? path : "");
}

void startListening(std::u16string_view pipe, milliseconds wait) {
    auto args = extraOfficeArgs();
    args.push_back(acceptOption(pipe));
    pid_t launcher = spawnOffice(args);
    const auto until = Clock::now() + wait;
    while (!socketAnswers(pipeSocketPath(pipe))) {
        int status = 0;
        if (launcher > 0 && ::waitpid(launcher, &status, WNOHANG) == launcher) {
            launcher = 0;
            // Status 0: it handed its line to an office that started meanwhile.
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                throw Error(Failure::EndedEarly, u"soffice ended before it listened", Remedy::None,
                            {}, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
            }
        }
        if (Clock::now() >= until) {
            if (launcher > 0) std::thread([launcher] { ::waitpid(launcher, nullptr, 0); }).detach();
            throw Error(Failure::StartTimedOut, u"soffice did not listen in time", Remedy::None, {},
                        static_cast<long>(wait.count() / 1000));
        }
        std::this_thread::sleep_for(kPoll);
    }
    // The launcher lives as long as the office; it is reaped whenever it ends.
    if (launcher > 0) std::thread([launcher] { ::waitpid(launcher, nullptr, 0); }).detach();
}

}  // namespace wordpour::link::spreadsheet::calc
