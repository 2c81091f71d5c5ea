#include "platform/launch/XdgAssociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTextStream>

#include <map>
#include <set>

#include "platform/launch/ExecLine.h"

namespace {

QString EnvOr(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QStringList EnvList(const char* name, const QString& fallback) {
    return EnvOr(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList ConfigFolders() {
    QStringList folders{EnvOr("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))};
    return folders + EnvList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList ApplicationFolders() {
    QStringList folders{EnvOr("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))};
    folders += EnvList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (QString& folder : folders) folder += QStringLiteral("/applications");
    return folders;
}

// mimeapps.list files, most important first: config folders before data folders, and in each
// the desktop-specific file before the plain one.
QStringList MimeAppsFiles() {
    QStringList desktops;
    for (const QString& desktop : EnvList("XDG_CURRENT_DESKTOP", QString()))
        desktops << desktop.toLower();
    QStringList files;
    for (const QString& folder : ConfigFolders() + ApplicationFolders()) {
        for (const QString& desktop : desktops)
            files << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    }
    return files;
}

using IniGroups = std::map<QString, std::map<QString, QString>>;

// A minimal reader of the desktop-file syntax: [Group] lines and Key=Value lines; comments
// and localized keys are skipped.
IniGroups ReadIniFile(const QString& path) {
    IniGroups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return groups;
    QTextStream in(&file);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            groups[group];
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) continue;
        const QString key = line.left(equals).trimmed();
        if (key.contains(QLatin1Char('['))) continue;
        groups[group].emplace(key, line.mid(equals + 1).trimmed());
    }
    return groups;
}

QStringList DesktopIds(const IniGroups& groups, const QString& group, const QString& mimeType) {
    const auto g = groups.find(group);
    if (g == groups.end()) return {};
    const auto value = g->second.find(mimeType);
    if (value == g->second.end()) return {};
    return value->second.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// A desktop id names a file in an applications folder; "vendor-app.desktop" may also live in a
// sub-folder as "vendor/app.desktop".
std::optional<DesktopEntry> FindInstalledEntry(const QString& desktopId) {
    QStringList relativePaths{desktopId};
    for (qsizetype dash = desktopId.indexOf(QLatin1Char('-')); dash > 0;
         dash = desktopId.indexOf(QLatin1Char('-'), dash + 1)) {
        QString nested = desktopId;
        nested[dash] = QLatin1Char('/');
        relativePaths << nested;
    }
    for (const QString& folder : ApplicationFolders())
        for (const QString& relative : relativePaths) {
            const QString path = folder + QLatin1Char('/') + relative;
            if (!QFileInfo::exists(path)) continue;
            return ReadDesktopEntry(path.toStdString());
        }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> MimeTypesForExtension(const std::string& extension) {
    QString suffix = QString::fromStdString(extension);
    if (!suffix.startsWith(QLatin1Char('.'))) suffix.prepend(QLatin1Char('.'));
    if (suffix.size() < 2) return {};
    std::vector<std::string> names;
    const QMimeDatabase database;
    for (const QMimeType& type : database.mimeTypesForFileName(QStringLiteral("file") + suffix)) {
        names.push_back(type.name().toStdString());
        for (const QString& alias : type.aliases()) names.push_back(alias.toStdString());
    }
    return names;
}

std::optional<DesktopEntry> FindDefaultApplication(const std::vector<std::string>& mimeTypes) {
    std::vector<IniGroups> lists;
    for (const QString& path : MimeAppsFiles()) lists.push_back(ReadIniFile(path));
    std::set<QString> removed;
    for (const IniGroups& list : lists)
        for (const std::string& type : mimeTypes)
            for (const QString& id : DesktopIds(list, QStringLiteral("Removed Associations"),
                                                QString::fromStdString(type)))
                removed.insert(id);

    // The first installed default wins; then the added associations and the cache, less the
    // removed ones.
    for (const std::string& mimeType : mimeTypes) {
        const QString type = QString::fromStdString(mimeType);
        for (const IniGroups& list : lists)
            for (const QString& id : DesktopIds(list, QStringLiteral("Default Applications"), type))
                if (auto entry = FindInstalledEntry(id)) return entry;
        QStringList candidates;
        for (const IniGroups& list : lists)
            candidates += DesktopIds(list, QStringLiteral("Added Associations"), type);
        for (const QString& folder : ApplicationFolders())
            candidates += DesktopIds(ReadIniFile(folder + QStringLiteral("/mimeinfo.cache")),
                                     QStringLiteral("MIME Cache"), type);
        for (const QString& id : candidates)
            if (!removed.count(id))
                if (auto entry = FindInstalledEntry(id)) return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> ReadDesktopEntry(const std::string& path) {
    const IniGroups groups = ReadIniFile(QString::fromStdString(path));
    const auto group = groups.find(QStringLiteral("Desktop Entry"));
    if (group == groups.end()) return std::nullopt;
    const auto& keys = group->second;
    auto value = [&keys](const char* key) {
        const auto it = keys.find(QString::fromLatin1(key));
        return it == keys.end() ? QString() : it->second;
    };
    if (value("Hidden") == QStringLiteral("true")) return std::nullopt;
    const QString type = value("Type");
    if (!type.isEmpty() && type != QStringLiteral("Application")) return std::nullopt;
    const QString tryExec = value("TryExec");
    if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty() &&
        !QFileInfo(tryExec).isExecutable())
        return std::nullopt;
    return DesktopEntry{path, UnescapeDesktopValue(value("Exec").toStdString())};
}
