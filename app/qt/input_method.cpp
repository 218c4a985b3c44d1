#include "app/qt/input_method.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include "app/qt/dialogs/message_box.h"
#include "app/qt/qt_text.h"
#include "app/qt/settings_file.h"

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

bool isFcitx(const std::string& name) {
    return name == "fcitx" || name == "fcitx5";
}

const QString kCannotType = QStringLiteral("ワードポア！に日本語を入力できません。");
const QString kUseIbusOrFcitx = QStringLiteral(
    "ibus と ibus-mozc、または fcitx5 と fcitx5-mozc と fcitx5-frontend-qt6 をインストールし、"
    "im-config でその入力メソッドを選んで、ログインし直してください。");
const QString kInstallFcitxFrontend = QStringLiteral(
    "fcitx5-frontend-qt6 をインストールしてください（sudo apt install fcitx5-frontend-qt6）。");
const QString kOnce = QStringLiteral("\n\n（このお知らせは、設定が変わるまで表示しません。）");

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

std::optional<QString> inputMethodAdvice(const InputMethodSetting& setting,
                                         const std::set<std::string>& keys) {
    const std::string module = lower(setting.qtModule);
    if (module.empty()) {
        // X programs are set up for an input method, Qt programs for none:
        // Qt then composes accents only.
        const std::string method = xInputMethod(setting.xModifiers);
        if (method.empty() || method == "none") return std::nullopt;
        const QString name = QString::fromStdString(method);
        QString advice = QStringLiteral(
                             "入力メソッド「%1」が Qt のプログラムには設定されていない"
                             "（環境変数 QT_IM_MODULE がない）ため、")
                             .arg(name) +
                         kCannotType + u'\n';
        if (method == "ibus" && keys.contains("ibus")) {
            advice += QStringLiteral(
                "QT_IM_MODULE=ibus を設定するか、im-config で ibus を選び直して"
                "ログインし直してください。");
        } else if (isFcitx(method)) {
            advice += (keys.contains("fcitx") ? QString() : kInstallFcitxFrontend + u'\n') +
                      QStringLiteral(
                          "QT_IM_MODULE=fcitx を設定するか、im-config で fcitx5 を"
                          "選び直してログインし直してください。");
        } else {
            advice += kUseIbusOrFcitx;
        }
        return advice + kOnce;
    }
    if (module == "compose" || module == "none" || keys.contains(module)) return std::nullopt;
    if (isFcitx(module)) {
        return QStringLiteral("fcitx5 の Qt 6 用モジュールがないため、") + kCannotType + u'\n' +
               kInstallFcitxFrontend + kOnce;
    }
    return QStringLiteral("入力メソッド「%1」には Qt 6 用のモジュールがないため、")
               .arg(QString::fromStdString(setting.qtModule)) +
           kCannotType + u'\n' + kUseIbusOrFcitx + kOnce;
}

void adviseOnInputMethod(QWidget* parent) {
    const auto setting = InputMethodSetting::fromEnvironment();
    const auto advice = inputMethodAdvice(setting, inputContextKeys());
    if (!advice) return;
    const auto remembered = settingsFile();
    const QString key = QStringLiteral("InputMethod/Advised");
    const QString signature = QString::fromStdString(setting.signature());
    if (remembered->value(key).toString() == signature) return;
    MessageBox::show(parent, *advice, form::Style{form::Buttons::OkOnly, form::Icon::Information},
                     toQt(form::kProgramTitle));
    remembered->setValue(key, signature);
}

}  // namespace wordpour::qt
