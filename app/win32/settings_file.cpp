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

// The profile functions keep a file in the code page they found it in:
// one that is not UTF-16 yet is made so (with its byte order mark), so that
// a path or a text in any script is kept whole.
void makeUnicode(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string bytes;
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(file);
        if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') return;
    }
    std::wstring text(L"\xfeff");
    const int length =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), converted.data(),
                        length);
    text += converted;
    const std::wstring temporary = path + L".new";
    HANDLE out = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;  // the write that follows says why
    DWORD written = 0;
    const BOOL whole =
        WriteFile(out, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                  nullptr) &&
        FlushFileBuffers(out);
    CloseHandle(out);
    if (!whole || !MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(temporary.c_str());
}

}  // namespace

bool readSetting(std::string_view key, bool otherwise) {
    const std::wstring path = settingsPath(false);
    if (path.empty()) return otherwise;
    return GetPrivateProfileIntW(kSection, wide(key).c_str(), otherwise ? 1 : 0, path.c_str()) != 0;
}

std::optional<std::u16string> readTextSetting(std::string_view key) {
    const std::wstring path = settingsPath(false);
    if (path.empty()) return std::nullopt;
    // A value none could be: the key is missing.
    constexpr wchar_t kMissing[] = L"\x1e";
    std::wstring value(32768, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(kSection, wide(key).c_str(), kMissing, value.data(),
                                 static_cast<DWORD>(value.size()), path.c_str());
    value.resize(length);
    if (value == kMissing) return std::nullopt;
    return std::u16string(value.begin(), value.end());
}

std::optional<form::SessionView::SettingNotKept> writeSetting(std::string_view key, bool value) {
    return writeTextSetting(key, value ? u"1" : u"0");
}

std::optional<form::SessionView::SettingNotKept> writeTextSetting(std::string_view key,
                                                                  const std::u16string& value) {
    const std::wstring path = settingsPath(true);
    if (path.empty())
        return form::SessionView::SettingNotKept{L"%APPDATA%\\wordpour\\wordpour.ini",
                                                 {base::FileCause::NotFound, 0}};
    const std::wstring text(value.begin(), value.end());
    makeUnicode(path);
    if (WritePrivateProfileStringW(kSection, wide(key).c_str(), text.c_str(), path.c_str()))
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
