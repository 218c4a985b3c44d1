// Readings from the Japanese IME that Windows installs: its reverse
// conversion (ImmGetConversionList), which gives every reading the
// dictionary the person converts with knows, and its IFELanguage service
// ("MSIME.Japan"), which reads compounds. Where no Japanese IME is
// installed there is no dictionary.
#include <windows.h>

#include <imm.h>
#include <objbase.h>
#include <oleauto.h>

#include "app/find/kana.h"
#include "app/find/reading_dictionary.h"
#include "app/find/search_key.h"

namespace wordpour::find {

namespace {

// msime.h's interface, which mingw-w64 does not ship.
struct FELanguage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetJMorphResult(DWORD, DWORD, INT, const WCHAR*, DWORD*,
                                                      void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConversionModeCaps(DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPhonetic(BSTR text, LONG start, LONG length,
                                                  BSTR* phonetic) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConversion(BSTR, LONG, LONG, BSTR*) = 0;
};
constexpr IID kFELanguage = {
    0x019F7152, 0xE6DB, 0x11D0, {0x83, 0xC3, 0x00, 0xC0, 0x4F, 0xDD, 0xB8, 0x2E}};

// The readings hiragana can show: a reading still holding a kanji is none.
std::optional<std::u16string> readingOfText(std::u16string_view text) {
    std::u16string reading = toHiragana(nfkcCaseFold(text));
    for (char16_t c : reading)
        if (c >= 0x3400 && c <= 0x9FFF) return std::nullopt;
    if (reading.empty()) return std::nullopt;
    return reading;
}

// The Japanese input method among the keyboard layouts installed.
HKL japaneseInputMethod() {
    const int count = GetKeyboardLayoutList(0, nullptr);
    std::vector<HKL> layouts(static_cast<std::size_t>(std::max(count, 0)));
    if (count <= 0 || GetKeyboardLayoutList(count, layouts.data()) != count) return nullptr;
    for (HKL layout : layouts)
        if (LOWORD(reinterpret_cast<UINT_PTR>(layout)) == 0x0411 && ImmIsIME(layout)) return layout;
    return nullptr;
}

// Every reading the input method's dictionary gives the word, the
// likeliest first.
std::vector<std::u16string> reverseConversion(HKL layout, std::u16string_view word) {
    std::vector<std::u16string> readings;
    if (!layout) return readings;
    const std::wstring text(word.begin(), word.end());
    const DWORD size =
        ImmGetConversionListW(layout, nullptr, text.c_str(), nullptr, 0, GCL_REVERSECONVERSION);
    if (size < sizeof(CANDIDATELIST)) return readings;
    std::vector<BYTE> buffer(size);
    auto* list = reinterpret_cast<CANDIDATELIST*>(buffer.data());
    if (ImmGetConversionListW(layout, nullptr, text.c_str(), list, size, GCL_REVERSECONVERSION) ==
        0)
        return readings;
    for (DWORD i = 0; i < list->dwCount && readings.size() < kMostReadings; ++i) {
        if (list->dwOffset[i] >= size) break;
        const auto* candidate =
            reinterpret_cast<const char16_t*>(buffer.data() + list->dwOffset[i]);
        std::size_t length = 0;
        while ((list->dwOffset[i] + (length + 1) * sizeof(char16_t)) <= size && candidate[length])
            ++length;
        if (auto reading = readingOfText(std::u16string_view(candidate, length)))
            addReadings(readings, {std::move(*reading)});
    }
    return readings;
}

class ImeDictionary final : public ReadingDictionary {
public:
    ImeDictionary(FELanguage* language, bool initialized)
        : language_(language), initialized_(initialized), layout_(japaneseInputMethod()) {}
    ~ImeDictionary() override {
        if (language_) {
            language_->Close();
            language_->Release();
        }
        if (initialized_) CoUninitialize();
    }
    bool reads() const { return language_ || layout_; }
    ImeDictionary(const ImeDictionary&) = delete;
    ImeDictionary& operator=(const ImeDictionary&) = delete;

    // IFELanguage's reading first, as before, then the reverse conversion's.
    std::vector<std::u16string> read(std::u16string_view word) override {
        std::vector<std::u16string> readings;
        if (auto reading = phonetic(word)) readings.push_back(std::move(*reading));
        addReadings(readings, reverseConversion(layout_, word));
        return readings;
    }

private:
    std::optional<std::u16string> phonetic(std::u16string_view word) {
        if (!language_) return std::nullopt;
        BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(word.data()),
                                      static_cast<UINT>(word.size()));
        if (!text) return std::nullopt;
        BSTR phonetic = nullptr;
        const HRESULT result = language_->GetPhonetic(text, 1, -1, &phonetic);
        SysFreeString(text);
        if (FAILED(result) || !phonetic) return std::nullopt;
        auto reading = readingOfText(std::u16string_view(
            reinterpret_cast<const char16_t*>(phonetic), SysStringLen(phonetic)));
        SysFreeString(phonetic);
        return reading;
    }

    FELanguage* language_;
    bool initialized_;
    HKL layout_;
};

}  // namespace

std::unique_ptr<ReadingDictionary> openReadingDictionary() {
    const bool initialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CLSID ime;
    void* made = nullptr;
    FELanguage* language = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"MSIME.Japan", &ime)) &&
        SUCCEEDED(CoCreateInstance(ime, nullptr, CLSCTX_SERVER, kFELanguage, &made)) && made) {
        language = static_cast<FELanguage*>(made);
        if (FAILED(language->Open())) {
            language->Release();
            language = nullptr;
        }
    }
    auto dictionary = std::make_unique<ImeDictionary>(language, initialized);
    if (!dictionary->reads()) return nullptr;  // uninitializes COM as it goes
    return dictionary;
}

}  // namespace wordpour::find
