#include "app/paths.h"

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
    QDir dir(root_);
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        QString entry = matchingEntry(dir, parts[i]);
        if (entry.isEmpty()) {
            entry = canonicalFolder(parts[i]);
            if (create) dir.mkdir(entry);
        }
        dir.setPath(dir.filePath(entry));
    }
    return parts.isEmpty() ? dir.path() : dir.filePath(parts.last());
}

}  // namespace blokpost
