#include "app/qt/platform_choice.h"

#include <cstdlib>

#include <QGuiApplication>

#include "app/form/wording.h"
#include "app/qt/dialogs/message_box.h"
#include "app/qt/qt_text.h"
#include "app/qt/settings_file.h"

namespace wordpour::qt {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

PlatformEnvironment PlatformEnvironment::fromEnvironment() {
    return {environment("QT_QPA_PLATFORM"), environment("WAYLAND_DISPLAY"), environment("DISPLAY")};
}

std::string chosenPlatform(const PlatformEnvironment& environment) {
    if (!environment.qpa.empty()) return {};
    if (!environment.waylandDisplay.empty() && !environment.display.empty()) return "xcb";
    return {};
}

void choosePlatform() {
    const std::string platform = chosenPlatform(PlatformEnvironment::fromEnvironment());
    if (!platform.empty()) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
}

void adviseOnWayland(QWidget* parent) {
    if (QGuiApplication::platformName() != QStringLiteral("wayland")) return;
    const auto remembered = settingsFile();
    const QString key = QStringLiteral("Wayland/Advised");
    if (remembered->value(key).toBool()) return;
    const form::Message notice = form::wording::nativeWaylandNotice();
    MessageBox::show(parent, toQt(notice.prompt), notice.style, toQt(notice.title));
    remembered->setValue(key, true);
}

}  // namespace wordpour::qt
