#include "app/list_file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/qt_text.h"

namespace wordpour::app {

namespace {

QString named(const QString& path) {
    return QStringLiteral("ファイル「%1」").arg(QFileInfo(path).absoluteFilePath());
}

}  // namespace

std::variant<wordlist::Entries, QString> loadListFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return named(path) + QStringLiteral("がありません。先に「リスト保存」で保存してください。");
    if (info.isDir())
        return named(path) + QStringLiteral("はフォルダーなので、リストを読めません。");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return named(path) + QStringLiteral("を開けません。\n（%1）").arg(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return named(path) + QStringLiteral("を読めません。\n（%1）").arg(file.errorString());

    auto read = wordlist::readList(std::string_view(bytes.constData(), bytes.size()));
    if (std::holds_alternative<wordlist::InvalidBytes>(read))
        return named(path) +
               QStringLiteral("はシフトJIS（コードページ932）のテキストではないので、読めません。");
    return std::get<wordlist::Entries>(std::move(read));
}

std::optional<QString> saveListFile(const QString& path, const wordlist::Entries& entries) {
    auto written = wordlist::writeList(entries);
    if (auto* bad = std::get_if<wordlist::Unencodable>(&written)) {
        return QStringLiteral(
                   "単語「%1」（%2番目）はシフトJIS（コードページ932）で書けない文字を"
                   "含むため、リストを保存しません。")
                   .arg(toQt(entries[bad->index]))
                   .arg(bad->index + 1) +
               QStringLiteral("\n%1は変更していません。").arg(named(path));
    }
    const std::string& bytes = std::get<std::string>(written);
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                        static_cast<qint64>(bytes.size()) &&
                    file.commit();
    if (!ok) {
        return named(path) +
               QStringLiteral("に保存できません。元のファイルはそのままです。\n（%1）")
                   .arg(file.errorString());
    }
    return std::nullopt;
}

}  // namespace wordpour::app
