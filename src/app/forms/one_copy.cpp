#include "app/forms/one_copy.h"

#include "app/forms/program_start.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace blokpost {

namespace {

constexpr const char* kLockName = ".blokpost.lock";
constexpr const char* kCall = "voorgrond\n";
constexpr const char* kAnswer = "ok\n";
// Two copies started by one double click: the other may have the lock but not yet listen.
constexpr int kConnectTries = 50;
constexpr int kConnectPauseMs = 100;
// The running copy answers from its event loop, which its start may still hold up.
constexpr int kAnswerWaitMs = 20000;

// This user's own folder for sockets and locks (mode 0700, made by Qt).
QString runtimeFolder() { return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); }

// The folder's own name among this user's sockets and locks.
QString folderKey(const QString& root) {
    const QString canonical = QFileInfo(root).canonicalFilePath();
    return QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? root : canonical), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
}

// Whether no process holds the lock file locked (flock), as its running holder does.
bool nobodyHolds(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// A lock file made by a start that was cut off before it wrote who holds it (a power cut
// between making and writing it). One younger than this may be a start taking it right now.
constexpr qint64 kUnwrittenLockAgeMs = 3000;

bool leftUnwritten(const QString& path) {
    const QFileInfo file(path);
    return file.size() == 0 && file.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnwrittenLockAgeMs;
}

std::unique_ptr<QLockFile> tryLock(const QString& path, QLockFile::LockError& error, bool& foreign) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);  // stale when its process is gone, never by age
    // After a power cut its process number may belong to another program, even another
    // Blokpost: a lock written whole (its holder locks it first) that nobody holds is stale.
    qint64 pid = 0;
    QString host, application;
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError && nobodyHolds(path)) {
        const bool ours = lock->getLockInfo(&pid, &host, &application);
        // Written, but not by a lock of ours: someone else's file, left where it is.
        foreign = !ours && QFileInfo(path).size() > 0;
        if (!ours && !leftUnwritten(path)) {
            error = lock->error();
            return lock;
        }
        // A folder that has become read-only keeps it: the lock then goes elsewhere, as for any read-only folder.
        if (!lock->removeStaleLockFile()) {
            error = QLockFile::PermissionError;
            return lock;
        }
        lock->tryLock(0);
    }
    error = lock->error();
    return lock;
}

}  // namespace

LayoutLock::LayoutLock(const QString& root)
    : root_(root), socketName_(runtimeFolder() + "/blokpost-" + folderKey(root) + ".socket") {
    QLockFile::LockError error = QLockFile::NoError;
    lock_ = tryLock(QDir(root).filePath(kLockName), error, foreignLock_);
    // A read-only layout folder: the lock goes where this user may write.
    if (error == QLockFile::PermissionError)
        lock_ = tryLock(runtimeFolder() + "/blokpost-" + folderKey(root) + ".lock", error, foreignLock_);
    held_ = error == QLockFile::NoError;
    if (!held_) return;
    // A socket left by a killed copy is ours to remove: we hold the folder's lock.
    if (!server_.listen(socketName_)) {
        QLocalServer::removeServer(socketName_);
        server_.listen(socketName_);
    }
    QObject::connect(&server_, &QLocalServer::newConnection, this, [this] { answer(); });
}

LayoutLock::~LayoutLock() = default;

void LayoutLock::answer() {
    while (QLocalSocket* caller = server_.nextPendingConnection()) {
        QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        QObject::connect(caller, &QLocalSocket::readyRead, caller, [this, caller] {
            if (!caller->canReadLine() || caller->readLine() != kCall) return;
            if (comeForward_) comeForward_();
            caller->write(kAnswer);
            caller->flush();
            caller->disconnectFromServer();
        });
    }
}

LayoutLock::Call LayoutLock::callRunningCopy() const {
    QLocalSocket socket;
    for (int attempt = 0; attempt < kConnectTries; ++attempt) {
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(kConnectPauseMs)) break;
        QThread::msleep(kConnectPauseMs);
    }
    bool answered = false;
    if (socket.state() == QLocalSocket::ConnectedState) {
        socket.write(kCall);
        socket.waitForBytesWritten(kAnswerWaitMs);
        while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerWaitMs)) {
        }
        answered = socket.canReadLine() && socket.readLine() == kAnswer;
    }
    if (answered) return {true, "Blokpost draait al in " + root_ + ": dat venster staat nu vooraan."};
    return {false, "Blokpost draait al in " + root_ +
           ", maar dat programma is niet te bereiken (het hoort bij een andere gebruiker of antwoordt niet). Er start "
           "geen tweede Blokpost in deze map."};
}

int endSecondStart(const LayoutLock& lock) {
    if (lock.foreignLock()) {
        showStartProblem(QString::fromUtf8("In %1 staat een bestand %2 dat geen programma vasthoudt en dat niet van "
                                           "Blokpost is. Blokpost laat het staan en start niet in deze map. Draait hier "
                                           "geen Blokpost, verwijder of hernoem dat bestand dan en start opnieuw.")
                             .arg(QDir::toNativeSeparators(lock.folder()), kLockName));
        return 1;
    }
    const LayoutLock::Call call = lock.callRunningCopy();
    if (call.answered) {
        std::fprintf(stderr, "blokpost: %s\n", call.told.toLocal8Bit().constData());
        return 0;
    }
    // Started from the menu there is no terminal: the operator sees it in a window (never a box that waits unseen).
    showStartProblem(call.told);
    return 1;
}

}  // namespace blokpost
