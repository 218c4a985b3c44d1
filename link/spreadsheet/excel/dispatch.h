// Late-bound COM automation: non-copyable owners of an IDispatch reference
// and of a VARIANT, and a call that turns every failure into an Error.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <oaidl.h>
#include <windows.h>

#include "link/spreadsheet/automation.h"

namespace wordpour::link::spreadsheet::excel {

// Excel's automation calls take a locale; these are made in US English.
inline constexpr LCID kLocale = 1033;

// While a person edits a cell, Excel turns automation calls away: through
// COM (call rejected, retry later) or with this code from Invoke. Such a
// call is tried again for this long before it counts as a failure.
inline constexpr DWORD kBusyRetryMs = 10000;
inline constexpr DWORD kBusyPauseMs = 100;
inline constexpr HRESULT kExcelBusy = static_cast<HRESULT>(0x800AC472);  // VBA_E_IGNORE

// Whether the server turned the call away only because it is busy.
bool isBusy(HRESULT hr);

// Registers, in the calling thread, the message filter that has COM retry
// calls the server rejects as busy, for up to kBusyRetryMs.
void retryBusyCalls();

class Variant {
public:
    Variant() { VariantInit(&v_); }
    explicit Variant(std::u16string_view text);
    explicit Variant(bool value);
    explicit Variant(double value);
    explicit Variant(long value);
    // A date or time, as Automation keeps one: days since 1899-12-30.
    static Variant date(double serial);
    // One row of values, as a range of one row takes them (a 1 x n array).
    static Variant row(std::vector<Variant>& cells);
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    // The text of a string value; empty for any other.
    std::u16string text() const;
    // A whole number's value, converted as Automation converts; 0 for none.
    long number() const;
    // The elements of an array value, row by row; of any other value, a copy of it alone.
    std::vector<Variant> elements() const;
    // Takes the IDispatch out of an object result; empty otherwise.
    IDispatch* takeDispatch();

private:
    VARIANT v_;
};

class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(IDispatch* owned) : p_(owned) {}  // takes the reference
    ~Dispatch() { reset(); }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
    Dispatch(Dispatch&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Dispatch& operator=(Dispatch&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

    // The member's DISPID, through GetIDsOfNames; callers keep it.
    DISPID id(const wchar_t* name, Failure failure) const;

    // One IDispatch::Invoke. `args` are in the order of the member's
    // parameters; they are passed reversed, as Invoke wants. A property put
    // names its value with DISPID_PROPERTYPUT.
    Variant invoke(DISPID member, WORD flags, std::vector<Variant>& args, Failure failure,
                   LCID locale = kLocale) const;

    // The object a property get or method returns; an Error if it is none.
    Dispatch object(DISPID member, WORD flags, std::vector<Variant>& args, Failure failure,
                    LCID locale = kLocale) const;

private:
    IDispatch* p_ = nullptr;
};

// A readable text for a failed HRESULT, with the server's own description.
std::u16string describe(HRESULT hr, const EXCEPINFO* info);

}  // namespace wordpour::link::spreadsheet::excel
