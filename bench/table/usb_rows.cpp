#include "usb_rows.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>

void printEmulatedUsbRows() {
    QProcess bench;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral("libumockdev-preload.so.0"));
    bench.setProcessEnvironment(environment);
    bench.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bench.start(QCoreApplication::applicationDirPath() + QStringLiteral("/blokpost_usb_bench"), {});
    if (!bench.waitForFinished(120000) || bench.exitCode() != 0) {
        std::printf("| emulated K8055: the USB benchmark did not run | | | OVER |\n");
        return;
    }
    std::fputs(bench.readAllStandardOutput().constData(), stdout);
}
