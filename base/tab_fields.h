// Lines of tab-separated fields that may hold any text: a backslash
// escapes the tab, the line ends and itself, so that fields and lines stay
// apart whatever a word holds. Wordpour's own files use it (the readings
// beside List, the journal); List itself never does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::base {

// Appends `text` as a field, escaped, to `line`.
void appendField(std::string& line, std::u16string_view text);
// A field's text, or nothing for a broken escape or bytes that are not UTF-8.
std::optional<std::u16string> fieldText(std::string_view field);
// The fields of a line, split at its tabs.
std::vector<std::string_view> splitFields(std::string_view line);

}  // namespace wordpour::base
