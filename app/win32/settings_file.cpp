#include "app/win32/settings_file.h"

#include <windows.h>

#include <string>

namespace wordpour::win32 {

namespace {

constexpr wchar_t kSection[] = L"Session";

// The file's path, its folder made when `create`; empty without %APPDATA%.
std::wstring settingsPath(bool create) {
    wchar_t appData[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::wstring folder = std::wstring(appData) + L"\\wordpour";
    if (create) CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\wordpour.ini";
}

std::wstring wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

bool readSetting(std::string_view key, bool otherwise) {
    const std::wstring path = settingsPath(false);
    if (path.empty()) return otherwise;
    return GetPrivateProfileIntW(kSection, wide(key).c_str(), otherwise ? 1 : 0, path.c_str()) != 0;
}

std::optional<form::SessionView::SettingNotKept> writeSetting(std::string_view key, bool value) {
    const std::wstring path = settingsPath(true);
    if (path.empty())
        return form::SessionView::SettingNotKept{L"%APPDATA%\\wordpour\\wordpour.ini",
                                                 {base::FileCause::NotFound, 0}};
    if (WritePrivateProfileStringW(kSection, wide(key).c_str(), value ? L"1" : L"0", path.c_str()))
        return std::nullopt;
    const DWORD code = GetLastError();
    // A file where the folder belongs: the write finds no such path.
    const DWORD folder = GetFileAttributesW(path.substr(0, path.rfind(L'\\')).c_str());
    if (folder != INVALID_FILE_ATTRIBUTES && !(folder & FILE_ATTRIBUTE_DIRECTORY))
        return form::SessionView::SettingNotKept{
            path, {base::FileCause::NotAFolder, static_cast<int>(code)}};
    return form::SessionView::SettingNotKept{path, base::systemError(static_cast<int>(code))};
}

}  // namespace wordpour::win32
