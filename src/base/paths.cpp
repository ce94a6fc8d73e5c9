#include "base/paths.h"

#include <QDir>
#include <QStringList>

namespace blokpost {

namespace {

// The spelling a newly made folder gets.
QString canonicalFolder(const QString& name) {
    if (name.compare(QStringLiteral("vastedata"), Qt::CaseInsensitive) == 0) return QStringLiteral("VasteData");
    if (name.compare(QStringLiteral("tekeningen"), Qt::CaseInsensitive) == 0) return QStringLiteral("Tekeningen");
    return name;
}

QString matchingEntry(const QDir& dir, const QString& name) {
    if (dir.exists(name)) return name;
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    return {};
}

}  // namespace

DataPaths::DataPaths(QString root) : root_(std::move(root)) {}

QString DataPaths::find(std::string_view relative) const { return resolve(relative, false); }

QString DataPaths::forWriting(std::string_view relative) const { return resolve(relative, true); }

QString DataPaths::resolve(std::string_view relative, bool create) const {
    const QStringList parts = QString::fromLatin1(relative.data(), static_cast<qsizetype>(relative.size()))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return root_;
    return QDir(resolveFolder(parts, create)).filePath(parts.last());
}

QString DataPaths::resolveFolder(const QStringList& parts, bool create) const {
    const QString written = parts.mid(0, parts.size() - 1).join(QLatin1Char('/'));
    // A folder matched before is used while it still exists.
    if (const auto cached = folders_.constFind(written); cached != folders_.cend() && QDir(*cached).exists())
        return *cached;
    QDir dir(root_);
    bool complete = true;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        QString entry = matchingEntry(dir, parts[i]);
        if (entry.isEmpty()) {
            entry = canonicalFolder(parts[i]);
            if (create) dir.mkdir(entry);
            complete = complete && create;
        }
        dir.setPath(dir.filePath(entry));
    }
    if (complete) folders_.insert(written, dir.path());
    return dir.path();
}

}  // namespace blokpost
