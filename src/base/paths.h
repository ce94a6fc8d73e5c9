#pragma once
// Files live in folders beside the program ("VasteData", "Tekeningen"). The
// program spells the data folder both "VasteData" and "Vastedata", so the
// folder part of a path is matched without regard to letter case.

#include <QHash>
#include <QString>
#include <string_view>

namespace blokpost {

class DataPaths {
public:
    explicit DataPaths(QString root);

    // The file to read: an existing folder whose name matches in any case,
    // else the path as written (which then simply does not exist).
    QString find(std::string_view relative) const;
    // The file to write: like find(), but when no folder matches, the folder
    // is created once, spelled "VasteData" or "Tekeningen".
    QString forWriting(std::string_view relative) const;

    const QString& root() const { return root_; }

private:
    QString resolve(std::string_view relative, bool create) const;
    QString resolveFolder(const QStringList& parts, bool create) const;
    QString root_;
    // Folders already matched, by their spelling in the program: the cycle
    // reads some pictures every second and need not list a folder each time.
    mutable QHash<QString, QString> folders_;
};

}  // namespace blokpost
