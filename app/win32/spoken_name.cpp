#include "app/win32/spoken_name.h"

// clang-format off
#include <initguid.h>  // defines the annotation's GUIDs here
#include <oleacc.h>
// clang-format on

#include <string>

namespace wordpour::win32 {

namespace {

// The annotation service, made once on the window thread and kept for the
// run (its annotations belong to it).
IAccPropServices* service() {
    static IAccPropServices* const made = [] {
        // The window thread is a single-threaded apartment; a second call is fine.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccPropServices* services = nullptr;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&services))))
            return static_cast<IAccPropServices*>(nullptr);
        return services;
    }();
    return made;
}

}  // namespace

bool setSpokenName(HWND control, std::u16string_view name) {
    IAccPropServices* services = service();
    if (!services || !control) return false;
    const std::wstring text(name.begin(), name.end());
    return SUCCEEDED(services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                              CHILDID_SELF, PROPID_ACC_NAME, text.c_str()));
}

void clearSpokenName(HWND control) {
    IAccPropServices* services = service();
    if (!services || !control) return;
    MSAAPROPID name = PROPID_ACC_NAME;
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
}

}  // namespace wordpour::win32
