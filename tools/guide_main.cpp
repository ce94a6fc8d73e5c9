// blokpost-guide README.md FOLDER
//   writes the first-steps guide FOLDER/first-steps.html, with its pictures
//   beside it, from README.md's section "First steps with the demo": the
//   README and the installed guide say the same from one source.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextDocument>
#include <cstdio>

namespace {

constexpr const char* kHeading = "## First steps with the demo";

// The section's text, from its heading to the next heading of its level.
QString section(const QString& readme) {
    const qsizetype start = readme.indexOf(QLatin1String(kHeading));
    if (start < 0) return {};
    const qsizetype end = readme.indexOf(QLatin1String("\n## "), start + 1);
    return readme.mid(start, end < 0 ? -1 : end - start);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: blokpost-guide README.md FOLDER\n");
        return 2;
    }
    QFile readme(arguments[1]);
    QString text = readme.open(QIODevice::ReadOnly) ? section(QString::fromUtf8(readme.readAll())) : QString();
    if (text.isEmpty()) {
        std::fprintf(stderr, "blokpost-guide: no \"%s\" in %s\n", kHeading, qPrintable(arguments[1]));
        return 1;
    }
    const QDir source = QFileInfo(arguments[1]).dir(), target(arguments[2]);
    QDir().mkpath(target.path());
    // Links into the rest of the README stay as their words; pictures go beside the guide.
    text.replace(QRegularExpression(QStringLiteral(R"(\[([^\]]+)\]\(#[^)]*\))")), QStringLiteral("\\1"));
    const QRegularExpression picture(QStringLiteral(R"(!\[([^\]]*)\]\(([^)]+)\))"));
    for (const QRegularExpressionMatch& match : picture.globalMatch(text)) {
        const QString name = QFileInfo(match.captured(2)).fileName();
        QFile::remove(target.filePath(name));
        if (!QFile::copy(source.filePath(match.captured(2)), target.filePath(name))) {
            std::fprintf(stderr, "blokpost-guide: cannot copy %s\n", qPrintable(match.captured(2)));
            return 1;
        }
    }
    text.replace(picture, QStringLiteral("![\\1](\\2)"));
    text.replace(QRegularExpression(QStringLiteral(R"(\]\((?:[^)/]*/)+([^)/]+\.png)\))")), QStringLiteral("](\\1)"));

    QTextDocument guide;
    guide.setMarkdown(text);
    guide.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Blokpost: first steps"));
    // A browser's reading size and width instead of the offscreen platform's font; pictures fit the page.
    QString page = guide.toHtml();
    page.replace(QRegularExpression(QStringLiteral(R"(<body style="[^"]*">)")),
                 QStringLiteral(R"(<body style="font-family:sans-serif; font-size:12pt; max-width:62em; margin:1em auto;">)"));
    page.replace(QLatin1String("</style>"), QLatin1String("img { max-width: 100%; height: auto; }\n</style>"));
    QFile html(target.filePath(QStringLiteral("first-steps.html")));
    if (!html.open(QIODevice::WriteOnly | QIODevice::Truncate) || html.write(page.toUtf8()) < 0 || !html.flush()) {
        std::fprintf(stderr, "blokpost-guide: cannot write %s\n", qPrintable(html.fileName()));
        return 1;
    }
    return 0;
}
