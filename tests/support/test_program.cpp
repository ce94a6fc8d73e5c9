#include "support/test_program.h"

#include "app/main_cycle.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

namespace blokpost::test {

bool spinUntil(const std::function<bool()>& done, int deadlineMs) {
    QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void RecordingReporter::message(const std::string& text) {
    messages.push_back(text);
    if (whileShown) whileShown();
}

bool RecordingReporter::confirm(const std::string& question) {
    questions.push_back(question);
    return answer;
}

void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

TestProgram::TestProgram(int minutesOfDay) : state(board, reporter, DataPaths(folder.path())) {
    FormCreate(state, minutesOfDay);
}

void writeFileIn(const QTemporaryDir& folder, const std::string& relative, const std::string& contents) {
    const QString path = folder.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(contents.data(), static_cast<qint64>(contents.size()));
}

std::string TestProgram::readFile(const std::string& relative) const {
    QFile file(folder.filePath(QString::fromStdString(relative)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void writePictureIn(const QTemporaryDir& folder, const std::string& relative, int width, int height,
                    unsigned colour) {
    const QString path = folder.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(colour | 0xFF000000u));
    image.save(path, "BMP");
}

void TestProgram::ticks(int n) {
    for (int i = 0; i < n; ++i) Hoofdlus(state);
}

void TestProgram::runThroughPhase(int phase) {
    do Hoofdlus(state);
    while (state.cycle.Phase != phase);
}

}  // namespace blokpost::test
