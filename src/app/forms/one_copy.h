#pragma once
// One program per layout folder. Two copies on one folder would undo each
// other's saves and write one day file between them, and their main windows
// lie exactly on top of each other, so the second is never noticed.
//
// The first start takes a lock file in the layout folder (in this user's
// runtime folder instead when the layout folder is read-only). QLockFile
// finds the lock of a program that was killed (kill -9, a power cut) stale,
// by its process being gone, and takes it over; a running holder also keeps
// it locked with flock(), so no start takes it away from a live program, and
// a lock that nobody holds is stale even when its process number has been
// taken by another program since.
// The holder listens on a local socket of this user named after the folder.
// A second start finds the lock held, asks the running copy over the socket
// to bring its main window to the front, says so, and ends. The check
// (--controle) only reads and runs beside the program without the lock.
// A lock file nobody holds is stale when it is written as ours or was left
// empty by a start cut off before writing it; any other file by that name is
// left alone and the start says so.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace blokpost {

class LayoutLock : public QObject {
public:
    explicit LayoutLock(const QString& root);
    ~LayoutLock() override;

    // This start runs the layout; otherwise another copy does.
    bool held() const { return held_; }
    // Not held because the folder has a lock file nobody holds that is not one of ours.
    bool foreignLock() const { return foreignLock_; }
    const QString& folder() const { return root_; }
    // The running copy: `comeForward` runs when a second start calls.
    void answerCalls(std::function<void()> comeForward) { comeForward_ = std::move(comeForward); }
    // The second start: asks the running copy to come to the front. Returns
    // whether it answered, and what to tell the operator, in Dutch.
    struct Call {
        bool answered = false;
        QString told;
    };
    Call callRunningCopy() const;

private:
    void answer();

    QString root_;
    QString socketName_;
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
    bool foreignLock_ = false;
    QLocalServer server_;
    std::function<void()> comeForward_;
};

// What main() does on a second start: calls the running copy, tells the
// operator (on the terminal, and in a message box when the running copy
// could not be reached) and returns the exit code: 0 when the running copy
// came to the front, 1 when it could not be reached.
int endSecondStart(const LayoutLock& lock);

}  // namespace blokpost
