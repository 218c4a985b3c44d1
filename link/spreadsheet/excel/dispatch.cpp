#include "link/spreadsheet/excel/dispatch.h"

#include <algorithm>

namespace wordpour::link::spreadsheet::excel {

bool isBusy(HRESULT hr);

namespace {

std::u16string fromWide(const wchar_t* text, std::size_t size) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), size);
}

// The application or its object went away while we held it.
bool isDisconnected(HRESULT hr) {
    return hr == RPC_E_DISCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
           hr == RPC_E_SERVERFAULT || hr == CO_E_OBJNOTCONNECTED;
}

Failure failureOf(HRESULT hr, Failure otherwise) {
    if (isDisconnected(hr)) return Failure::Disconnected;
    if (isBusy(hr)) return Failure::Busy;
    return otherwise;
}

// Waits between two tries of a busy call, answering the thread's window
// messages meanwhile, as a single-threaded apartment must.
void pauseForBusy() {
    const DWORD until = GetTickCount() + kBusyPauseMs;
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(until - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, until - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Runs `call` until it returns something other than "busy", or until
// kBusyRetryMs have passed.
template <class Call>
HRESULT retryingWhileBusy(Call call) {
    const DWORD start = GetTickCount();
    for (;;) {
        const HRESULT hr = call();
        if (!isBusy(hr) || GetTickCount() - start >= kBusyRetryMs) return hr;
        pauseForBusy();
    }
}

// The client side of COM's busy handling: a rejected call is retried after
// a pause until kBusyRetryMs have passed, then given up.
class BusyFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // One filter for the thread's whole life: no counting needed.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        if (rejectType != SERVERCALL_RETRYLATER && rejectType != SERVERCALL_REJECTED)
            return static_cast<DWORD>(-1);
        return elapsedMs < kBusyRetryMs ? kBusyPauseMs : static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

}  // namespace

bool isBusy(HRESULT hr) {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER || hr == kExcelBusy;
}

void retryBusyCalls() {
    static thread_local BusyFilter filter;
    IMessageFilter* previous = nullptr;
    CoRegisterMessageFilter(&filter, &previous);
    if (previous && previous != &filter) previous->Release();
}

Variant::Variant(std::u16string_view text) {
    VariantInit(&v_);
    v_.vt = VT_BSTR;
    v_.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                   static_cast<UINT>(text.size()));
}

Variant::Variant(bool value) {
    VariantInit(&v_);
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(double value) {
    VariantInit(&v_);
    v_.vt = VT_R8;
    v_.dblVal = value;
}

Variant::Variant(long value) {
    VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = value;
}

Variant Variant::date(double serial) {
    Variant value;
    value.v_.vt = VT_DATE;
    value.v_.date = serial;
    return value;
}

Variant Variant::row(std::vector<Variant>& cells) {
    SAFEARRAYBOUND bounds[2] = {{.cElements = 1, .lLbound = 1},
                                {.cElements = static_cast<ULONG>(cells.size()), .lLbound = 1}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    Variant value;
    if (!array) return value;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        LONG at[2] = {1, static_cast<LONG>(i + 1)};
        SafeArrayPutElement(array, at, cells[i].get());  // copies the element
    }
    value.v_.vt = VT_ARRAY | VT_VARIANT;
    value.v_.parray = array;
    return value;
}

std::vector<Variant> Variant::elements() const {
    std::vector<Variant> cells;
    if (v_.vt != (VT_ARRAY | VT_VARIANT) || !v_.parray || SafeArrayGetDim(v_.parray) != 2) {
        cells.emplace_back();
        VariantCopy(cells.back().get(), const_cast<VARIANT*>(&v_));
        return cells;
    }
    LONG rowLow = 0, rowHigh = 0, columnLow = 0, columnHigh = 0;
    SafeArrayGetLBound(v_.parray, 1, &rowLow);
    SafeArrayGetUBound(v_.parray, 1, &rowHigh);
    SafeArrayGetLBound(v_.parray, 2, &columnLow);
    SafeArrayGetUBound(v_.parray, 2, &columnHigh);
    for (LONG row = rowLow; row <= rowHigh; ++row) {
        for (LONG column = columnLow; column <= columnHigh; ++column) {
            LONG at[2] = {row, column};
            cells.emplace_back();
            SafeArrayGetElement(v_.parray, at, cells.back().get());
        }
    }
    return cells;
}

long Variant::number() const {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_I4))) return 0;
    return converted.lVal;
}

std::u16string Variant::text() const {
    if (v_.vt != VT_BSTR || v_.bstrVal == nullptr) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(v_.bstrVal), SysStringLen(v_.bstrVal));
}

IDispatch* Variant::takeDispatch() {
    if (v_.vt != VT_DISPATCH || v_.pdispVal == nullptr) return nullptr;
    IDispatch* object = v_.pdispVal;
    v_.vt = VT_EMPTY;  // the reference now belongs to the caller
    v_.pdispVal = nullptr;
    return object;
}

std::u16string describe(HRESULT hr, const EXCEPINFO* info) {
    std::u16string text;
    if (info && info->bstrDescription)
        text = fromWide(info->bstrDescription, SysStringLen(info->bstrDescription));
    wchar_t* system = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
    std::u16string systemText = size ? fromWide(system, size) : std::u16string();
    if (system) LocalFree(system);
    while (!systemText.empty() && (systemText.back() == u'\n' || systemText.back() == u'\r'))
        systemText.pop_back();
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::u16string out = text;
    if (!systemText.empty()) out += (out.empty() ? u"" : u" / ") + systemText;
    out += (out.empty() ? u"HRESULT " : u" (HRESULT ") + fromWide(code, wcslen(code)) +
           (text.empty() && systemText.empty() ? u"" : u")");
    return out;
}

DISPID Dispatch::id(const wchar_t* name, Failure failure) const {
    if (!p_) throw Error(Failure::Disconnected, u"no object");
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr =
        retryingWhileBusy([&] { return p_->GetIDsOfNames(IID_NULL, names, 1, kLocale, &dispid); });
    if (FAILED(hr)) throw Error(failureOf(hr, failure), describe(hr, nullptr));
    return dispid;
}

Variant Dispatch::invoke(DISPID member, WORD flags, std::vector<Variant>& args, Failure failure,
                         LCID locale) const {
    if (!p_) throw Error(Failure::Disconnected, u"no object");
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO info{};
    UINT badArgument = 0;
    const HRESULT hr = retryingWhileBusy([&] {
        VariantClear(result.get());
        SysFreeString(std::exchange(info.bstrSource, nullptr));
        SysFreeString(std::exchange(info.bstrDescription, nullptr));
        SysFreeString(std::exchange(info.bstrHelpFile, nullptr));
        info = EXCEPINFO{};
        return p_->Invoke(member, IID_NULL, locale, flags, &params, result.get(), &info,
                          &badArgument);
    });
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        std::u16string detail = describe(hr == DISP_E_EXCEPTION && info.scode ? info.scode : hr,
                                         hr == DISP_E_EXCEPTION ? &info : nullptr);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        throw Error(failureOf(hr, failure), std::move(detail));
    }
    return result;
}

Dispatch Dispatch::object(DISPID member, WORD flags, std::vector<Variant>& args, Failure failure,
                          LCID locale) const {
    Variant result = invoke(member, flags, args, failure, locale);
    IDispatch* object = result.takeDispatch();
    if (!object) throw Error(failure, u"the application returned no object");
    return Dispatch(object);
}

}  // namespace wordpour::link::spreadsheet::excel
