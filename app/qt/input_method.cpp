#include "app/qt/input_method.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include "app/qt/dialogs/message_box.h"

namespace wordpour::qt {

namespace {

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// "@im=NAME" (possibly among other modifiers) gives NAME.
std::string xInputMethod(const std::string& modifiers) {
    const auto at = modifiers.find("@im=");
    if (at == std::string::npos) return "";
    const auto start = at + 4;
    return lower(modifiers.substr(start, modifiers.find('@', start) - start));
}

// An environment's value, as a message quotes it.
std::u16string fromLatin(const std::string& text) {
    return QString::fromLocal8Bit(text).toStdU16String();
}

bool isFcitx(const std::string& name) {
    return name == "fcitx" || name == "fcitx5";
}

}  // namespace

InputMethodSetting InputMethodSetting::fromEnvironment() {
    return {environment("QT_IM_MODULE"), environment("XMODIFIERS")};
}

std::set<std::string> inputContextKeys() {
    std::set<std::string> keys;
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir plugins(folder + QStringLiteral("/platforminputcontexts"));
        for (const QString& file : plugins.entryList(QDir::Files)) {
            const QJsonObject meta = QPluginLoader(plugins.filePath(file)).metaData();
            for (const auto& key : meta.value(QStringLiteral("MetaData"))
                                       .toObject()
                                       .value(QStringLiteral("Keys"))
                                       .toArray())
                keys.insert(lower(key.toString().toStdString()));
        }
    }
    return keys;
}

std::optional<form::wording::InputMethodGap> inputMethodGap(const InputMethodSetting& setting,
                                                            const std::set<std::string>& keys) {
    using Gap = form::wording::InputMethodGap;
    const std::string module = lower(setting.qtModule);
    if (module.empty()) {
        // X programs are set up for an input method, Qt programs for none:
        // Qt then composes accents only.
        const std::string method = xInputMethod(setting.xModifiers);
        if (method.empty() || method == "none") return std::nullopt;
        Gap::Remedy remedy = Gap::Remedy::UseIbusOrFcitx;
        if (method == "ibus" && keys.contains("ibus"))
            remedy = Gap::Remedy::SetIbus;
        else if (isFcitx(method))
            remedy = keys.contains("fcitx") ? Gap::Remedy::SetFcitx
                                            : Gap::Remedy::InstallFcitxModuleAndSetFcitx;
        return Gap{Gap::Cause::NotSetForQt, fromLatin(method), remedy};
    }
    if (module == "compose" || module == "none" || keys.contains(module)) return std::nullopt;
    if (isFcitx(module))
        return Gap{Gap::Cause::NoFcitxModule, fromLatin(module), Gap::Remedy::InstallFcitxModule};
    return Gap{Gap::Cause::NoQtModule, fromLatin(setting.qtModule), Gap::Remedy::UseIbusOrFcitx};
}

void adviseOnInputMethod(QWidget* parent) {
    const auto setting = InputMethodSetting::fromEnvironment();
    const auto gap = inputMethodGap(setting, inputContextKeys());
    if (!gap) return;
    showOnce(parent, form::wording::inputMethodAdvice(*gap), QStringLiteral("InputMethod/Advised"),
             QString::fromStdString(setting.signature()));
}

}  // namespace wordpour::qt
