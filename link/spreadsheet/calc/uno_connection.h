// Reaching a LibreOffice that listens on a named pipe. Shared by the Calc
// backend and by the tools that prepare and inspect workbooks for tests.
#pragma once

#include <string>
#include <string_view>

#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace wordpour::link::spreadsheet::calc {

// The pipe Wordpour looks for when WORDPOUR_PIPE is not set. An office
// started with --accept="pipe,name=wordpour;urp;" listens on it.
inline constexpr std::u16string_view kDefaultPipe = u"wordpour";

// WORDPOUR_PIPE, or the default pipe.
std::u16string pipeName();

// Pipe names Wordpour uses: letters, digits, '_', '-' and '.'.
bool isPlainPipeName(std::u16string_view name);

// The path of the socket through which an office listens on `pipe`.
std::string pipeSocketPath(std::u16string_view pipe);

// The component context of the office listening on `pipe`. Only a local
// pipe is ever used: nothing on the network can reach it. Never starts an
// office. Throws Error(Failure::NotRunning) when nobody answers, and
// Error(Failure::ForeignPipe) when the pipe is not this user's own socket.
css::uno::Reference<css::uno::XComponentContext> connect(std::u16string_view pipe);

inline rtl::OUString toUno(std::u16string_view text) {
    // sal_Unicode and char16_t are both UTF-16 code units.
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.data()),
                         static_cast<sal_Int32>(text.size()));
}
inline std::u16string fromUno(const rtl::OUString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.getStr()),
                          static_cast<std::size_t>(text.getLength()));
}

}  // namespace wordpour::link::spreadsheet::calc
