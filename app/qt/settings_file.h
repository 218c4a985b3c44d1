// The program's settings file, ~/.config/wordpour/wordpour.ini (under
// $XDG_CONFIG_HOME when set): what the person chose, kept between runs.
#pragma once

#include <QSettings>

#include <memory>

namespace wordpour::qt {

inline std::unique_ptr<QSettings> settingsFile() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("wordpour"), QStringLiteral("wordpour"));
}

}  // namespace wordpour::qt
