// The program's settings file on Windows, %APPDATA%\wordpour\wordpour.ini:
// what the person chose, kept between runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/form/session_view.h"

namespace wordpour::win32 {

// The flag stored under `key`, or `otherwise` when none is (or there is no
// settings file).
bool readSetting(std::string_view key, bool otherwise);
// Stores it; a settings file that cannot be written keeps the choice for
// this run only, and says which file and why.
std::optional<form::SessionView::SettingNotKept> writeSetting(std::string_view key, bool value);
// A text kept the same way; nothing when none is stored.
std::optional<std::u16string> readTextSetting(std::string_view key);
std::optional<form::SessionView::SettingNotKept> writeTextSetting(std::string_view key,
                                                                  const std::u16string& value);

}  // namespace wordpour::win32
