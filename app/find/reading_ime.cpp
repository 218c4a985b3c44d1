// Readings from the Japanese IME that Windows installs (its IFELanguage
// service, "MSIME.Japan"): the same conversion engine the person types
// with. Where no Japanese IME is installed there is no dictionary.
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

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

class ImeDictionary final : public ReadingDictionary {
public:
    ImeDictionary(FELanguage* language, bool initialized)
        : language_(language), initialized_(initialized) {}
    ~ImeDictionary() override {
        language_->Close();
        language_->Release();
        if (initialized_) CoUninitialize();
    }
    ImeDictionary(const ImeDictionary&) = delete;
    ImeDictionary& operator=(const ImeDictionary&) = delete;

    std::optional<std::u16string> read(std::u16string_view word) override {
        BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(word.data()),
                                      static_cast<UINT>(word.size()));
        if (!text) return std::nullopt;
        BSTR phonetic = nullptr;
        const HRESULT result = language_->GetPhonetic(text, 1, -1, &phonetic);
        SysFreeString(text);
        if (FAILED(result) || !phonetic) return std::nullopt;
        std::u16string reading = toHiragana(nfkcCaseFold(std::u16string_view(
            reinterpret_cast<const char16_t*>(phonetic), SysStringLen(phonetic))));
        SysFreeString(phonetic);
        // A reading still holding the word's kanji is no reading.
        for (char16_t c : reading)
            if (c >= 0x3400 && c <= 0x9FFF) return std::nullopt;
        if (reading.empty()) return std::nullopt;
        return reading;
    }

private:
    FELanguage* language_;
    bool initialized_;
};

}  // namespace

std::unique_ptr<ReadingDictionary> openReadingDictionary() {
    const bool initialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CLSID ime;
    void* made = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"MSIME.Japan", &ime)) &&
        SUCCEEDED(CoCreateInstance(ime, nullptr, CLSCTX_SERVER, kFELanguage, &made)) && made) {
        auto* language = static_cast<FELanguage*>(made);
        if (SUCCEEDED(language->Open()))
            return std::make_unique<ImeDictionary>(language, initialized);
        language->Release();
    }
    if (initialized) CoUninitialize();
    return nullptr;
}

}  // namespace wordpour::find
