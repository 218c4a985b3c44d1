// Code page 932 through iconv. "CP932" is Microsoft's table; "SHIFT_JIS"
// differs from it on characters such as "～" and "∥".
#include <algorithm>
#include <bit>
#include <cerrno>
#include <future>
#include <system_error>
#include <vector>

#include <iconv.h>

#include "wordlist/code_page.h"

namespace wordpour::wordlist {

namespace {

// The UTF-16 side is handed to iconv as the bytes of char16_t in memory.
static_assert(std::endian::native == std::endian::little);

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in` into `out` (a string of bytes or of UTF-16
    // units), starting at `room` bytes; false on any character that does
    // not convert.
    template <class Out>
    bool convert(const char* in, std::size_t size, Out& out, std::size_t room) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        constexpr std::size_t unit = sizeof(typename Out::value_type);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset the state
        out.resize(room / unit + 1);
        char* src = const_cast<char*>(in);
        std::size_t srcLeft = size;
        std::size_t done = 0;  // bytes
        for (;;) {
            char* dst = reinterpret_cast<char*>(out.data()) + done;
            std::size_t dstLeft = out.size() * unit - done;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            done = out.size() * unit - dstLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                // Flush, then refuse what iconv replaced rather than failed on.
                if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
                    return false;
                done = out.size() * unit - dstLeft;
                out.resize(done / unit);
                return rc == 0;
            }
            if (errno != E2BIG) return false;  // EILSEQ or EINVAL: not convertible
            out.resize(out.size() * 2);
        }
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> encodeCp932(std::u16string_view text) {
    thread_local Converter converter("CP932", "UTF-16LE");
    std::string bytes;
    // At most two bytes a character.
    if (!converter.convert(reinterpret_cast<const char*>(text.data()), text.size() * 2, bytes,
                           text.size() * 2 + 16))
        return std::nullopt;
    return bytes;
}

namespace {

std::optional<std::u16string> decodeCp932Run(std::string_view bytes, std::size_t room) {
    thread_local Converter converter("UTF-16LE", "CP932");
    // At most one UTF-16 unit a byte: straight into the text, no copy.
    std::u16string text;
    text.reserve(room);
    if (!converter.convert(bytes.data(), bytes.size(), text, bytes.size() * 2 + 16))
        return std::nullopt;
    return text;
}

// Below this a second thread costs more than it saves.
constexpr std::size_t kSplitAt = std::size_t{256} * 1024;

}  // namespace

// A long List is decoded in two halves at once, split after a line feed:
// 0x0A is never the second byte of a character in code page 932.
std::optional<std::u16string> decodeCp932(std::string_view bytes) {
    const std::size_t feed =
        bytes.size() < kSplitAt ? std::string_view::npos : bytes.find('\n', bytes.size() / 2);
    if (feed == std::string_view::npos) return decodeCp932Run(bytes, bytes.size() + 16);
    const std::string_view first = bytes.substr(0, feed + 1), second = bytes.substr(feed + 1);
    std::future<std::optional<std::u16string>> head;
    try {
        head = std::async(std::launch::async, [first, whole = bytes.size()] {
            return decodeCp932Run(first, whole + 16);
        });
    } catch (const std::system_error&) {
        return decodeCp932Run(bytes, bytes.size() + 16);  // no thread to be had
    }
    const auto tail = decodeCp932Run(second, second.size() + 16);
    auto text = head.get();
    if (!text || !tail) return std::nullopt;
    *text += *tail;
    return text;
}

std::optional<std::u16string> decodeEucJp(std::string_view bytes) {
    thread_local Converter converter("UTF-16LE", "EUC-JP");
    std::u16string text;
    if (!converter.convert(bytes.data(), bytes.size(), text, bytes.size() * 2 + 16))
        return std::nullopt;
    // iconv passes single bytes 0x80–0x9F through as C1 controls: no text.
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x80 && c <= 0x9F; }))
        return std::nullopt;
    return text;
}

}  // namespace wordpour::wordlist
