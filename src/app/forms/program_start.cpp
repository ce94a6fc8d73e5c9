#include "app/forms/program_start.h"

#include "base/reporter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost {

namespace {

QtMessageHandler qtHandler = nullptr;

// A folder that is ours alone: a folder, owned by us, open to nobody else.
bool isPrivateFolder(const QString& folder) {
    struct stat info{};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString cacheFolder() {
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.startsWith(QLatin1Char('/'))) return cache;
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QString() : home + QStringLiteral("/.cache");
}

QString noWindowProblem() {
    const QString display = qEnvironmentVariable("DISPLAY"), wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString why;
    if (display.isEmpty() && wayland.isEmpty())
        why = QStringLiteral("er is geen beeldscherm (DISPLAY en WAYLAND_DISPLAY zijn niet gezet)");
    else if (display.isEmpty())
        why = QStringLiteral("het Wayland-beeldscherm '%1' neemt geen venster aan (installeer qt6-wayland, of "
                             "Xwayland voor het bureaublad)").arg(wayland);
    else
        why = QStringLiteral("het beeldscherm '%1' neemt geen venster aan").arg(display);
    return QStringLiteral("Blokpost kan geen venster openen: %1.\nStart Blokpost vanuit het bureaublad. Op een computer "
                          "zonder beeldscherm toont 'blokpost-vnc' het alleen aan deze computer (zie man blokpost).")
        .arg(why);
}

// Tells the desktop when our own window cannot: its notification service.
void notifyDesktop(const QString& text) {
    if (const QString notify = QStandardPaths::findExecutable(QStringLiteral("notify-send")); !notify.isEmpty())
        QProcess::startDetached(notify, {QStringLiteral("--icon=blokpost"), QStringLiteral("Blokpost"), text});
}

void platformGuard(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) return qtHandler ? qtHandler(type, context, text) : void();
    const QString problem = noWindowProblem();
    std::fprintf(stderr, "blokpost: %s\n", qPrintable(problem));
    notifyDesktop(problem);
    std::_Exit(1);
}

// The menu's icon in every size the package installs, read from where the
// package puts it (an icon theme need not be set up for it); else the theme's.
QIcon programIcon() {
    QIcon icon;
    const QDir sizes(QCoreApplication::applicationDirPath() + QStringLiteral("/../../share/icons/hicolor"));
    for (const QString& size : sizes.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const QString file = sizes.filePath(size + QStringLiteral("/apps/blokpost.png")); QFileInfo(file).isFile())
            icon.addFile(file);
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("blokpost")) : icon;
}

}  // namespace

void settleRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString session = QStringLiteral("/run/user/%1").arg(::getuid());
    QString folder = isPrivateFolder(session) ? session : QString();
    if (folder.isEmpty() && !cacheFolder().isEmpty()) {
        const QString own = cacheFolder() + QStringLiteral("/blokpost-runtime");
        QDir().mkpath(cacheFolder());
        ::mkdir(QFile::encodeName(own).constData(), 0700);
        if (isPrivateFolder(own)) folder = own;
    }
    if (!folder.isEmpty()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

void guardPlatformStart() { qtHandler = qInstallMessageHandler(platformGuard); }

void platformStarted() { qInstallMessageHandler(qtHandler); }

void identifyToDesktop() {
    QApplication::setApplicationName(QStringLiteral("Blokpost"));
    QGuiApplication::setDesktopFileName(QStringLiteral(BLOKPOST_DESKTOP_ID));
    QApplication::setWindowIcon(programIcon());
}

void showStartProblem(const QString& problem) {
    std::fprintf(stderr, "blokpost: %s\n", qPrintable(problem));
    // Offscreen and minimal show nobody anything, and a box there would wait for ever.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Blokpost"), problem, QMessageBox::Ok);
    box.exec();
}

QString firstStepsGuide() {
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& place : {QStringLiteral("first-steps.html"), QStringLiteral("../../share/doc/blokpost/first-steps.html")})
        if (QFileInfo(program.filePath(place)).isFile()) return QFileInfo(program.filePath(place)).canonicalFilePath();
    return {};
}

void openFirstStepsGuide(Reporter& reporter) {
    const QString guide = firstStepsGuide();
    if (guide.isEmpty())
        return reporter.message("De handleiding 'Eerste stappen' staat niet bij het programma. Lees het deel "
                                "'First steps with the demo' in README.md.");
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        reporter.message(QStringLiteral("De handleiding kan niet worden geopend: het bureaublad heeft geen programma "
                                        "om ze te tonen. Open %1 in een webbrowser.").arg(guide).toStdString());
}

}  // namespace blokpost
