#include "app/qt/platform_choice.h"

#include <QGuiApplication>

#include "app/form/wording.h"
#include "app/qt/dialogs/message_box.h"

namespace wordpour::qt {

PlatformEnvironment PlatformEnvironment::fromEnvironment() {
    const auto variable = [](const char* name) { return qEnvironmentVariable(name).toStdString(); };
    return {variable("QT_QPA_PLATFORM"), variable("WAYLAND_DISPLAY"), variable("DISPLAY")};
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
    showOnce(parent, form::wording::nativeWaylandNotice(), QStringLiteral("Wayland/Advised"),
             QStringLiteral("true"));
}

}  // namespace wordpour::qt
