#include "app/find/reading_dictionary.h"

#include <algorithm>

namespace wordpour::find {

void addReadings(std::vector<std::u16string>& readings, std::vector<std::u16string> more) {
    for (auto& reading : more) {
        if (readings.size() >= kMostReadings) return;
        if (!reading.empty() &&
            std::find(readings.begin(), readings.end(), reading) == readings.end())
            readings.push_back(std::move(reading));
    }
}

}  // namespace wordpour::find
