#include "link/spreadsheet/calc/uno_connection.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/ConnectionSetupException.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "link/spreadsheet/automation.h"

namespace wordpour::link::spreadsheet::calc {

namespace {

using css::uno::Reference;
using css::uno::XComponentContext;
using rtl::OUString;

// The URE finds its type libraries and services through this file; a
// program started outside the office's own scripts has to name it.
constexpr char kUreBootstrap[] = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";

}  // namespace

bool isPlainPipeName(std::u16string_view name) {
    if (name.empty() || name.size() > 100) return false;
    for (char16_t c : name) {
        bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                  (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
        if (!ok) return false;
    }
    return true;
}

namespace {

Reference<XComponentContext> localContext() {
    static Reference<XComponentContext> context = [] {
        setenv("URE_BOOTSTRAP", kUreBootstrap, /*overwrite=*/0);
        // The bridge writes to the office's socket without MSG_NOSIGNAL: an
        // office that goes away mid-call must fail that call, not end the
        // program (and the user's unsaved word list) with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

}  // namespace

std::string pipeSocketPath(std::u16string_view pipe) {
    // Where the office's pipe library puts the socket: /tmp, or /var/tmp
    // when /tmp cannot be written, named after the user and the pipe.
    const char* folder = ::access("/tmp", W_OK) == 0 ? "/tmp" : "/var/tmp";
    return std::string(folder) + "/OSL_PIPE_" + std::to_string(::getuid()) + "_" +
           std::string(pipe.begin(), pipe.end());  // a plain name: ASCII only
}

std::u16string pipeName() {
    const char* name = std::getenv("WORDPOUR_PIPE");
    if (name == nullptr || *name == '\0') return std::u16string(kDefaultPipe);
    return fromUno(OUString::fromUtf8(name));
}

// What a user reads when no office answers: how to start one that will.
static Error notListening(std::u16string_view pipe, const OUString& why) {
    return Error(Failure::NotRunning, fromUno(why), Remedy::StartListening, std::u16string(pipe));
}

Reference<XComponentContext> connect(std::u16string_view pipe) {
    // A name no socket can have is refused at once, before any office is
    // asked or started to listen on it.
    const std::string socket = pipeSocketPath(pipe);
    if (!isPlainPipeName(pipe) || socket.size() >= sizeof(sockaddr_un{}.sun_path))
        throw Error(Failure::BadPipeName, {}, Remedy::None, std::u16string(pipe));
    // The socket's path is predictable: another local user could listen
    // there first and be handed the workbook's path and every word. Only a
    // socket of this user's own is ever connected to. Nobody else can
    // replace it afterwards: /tmp is sticky.
    struct stat info {};
    if (::lstat(socket.c_str(), &info) != 0) {
        throw notListening(
            pipe, errno == ENOENT ? OUString("no socket at " + OUString::fromUtf8(socket.c_str()))
                                  : OUString("cannot examine the socket"));
    }
    const std::u16string path = fromUno(OUString::fromUtf8(socket.c_str()));
    // Something of the user's own that is no socket: said as what it is.
    // The path is the subject: the message names it.
    if (info.st_uid == ::getuid()) {
        if (S_ISLNK(info.st_mode)) throw Error(Failure::PipeIsLink, path, Remedy::None, path);
        if (S_ISREG(info.st_mode)) throw Error(Failure::PipeIsFile, path, Remedy::None, path);
        if (S_ISDIR(info.st_mode)) throw Error(Failure::PipeIsFolder, path, Remedy::None, path);
    }
    if (!S_ISSOCK(info.st_mode) || info.st_uid != ::getuid()) {
        throw Error(Failure::ForeignPipe, S_ISSOCK(info.st_mode) ? u"a socket" : u"not a socket",
                    Remedy::None, path, static_cast<long>(info.st_uid));
    }
    try {
        auto resolver = css::bridge::UnoUrlResolver::create(localContext());
        auto remote =
            resolver->resolve("uno:pipe,name=" + toUno(pipe) + ";urp;StarOffice.ComponentContext");
        Reference<XComponentContext> context(remote, css::uno::UNO_QUERY);
        if (!context.is())
            throw Error(Failure::NotRunning, u"the pipe answered, but not an office");
        return context;
    } catch (const css::connection::NoConnectException& e) {
        throw notListening(pipe, e.Message);
    } catch (const css::uno::Exception& e) {
        throw notListening(pipe, e.Message);
    } catch (const cppu::BootstrapException& e) {
        throw Error(Failure::NotRunning, fromUno(e.getMessage()));
    }
}

}  // namespace wordpour::link::spreadsheet::calc
