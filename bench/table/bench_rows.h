#pragma once
// The rows of make bench's summary table, and the small measures that every
// part of the table uses.

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace blokpost::bench {

struct Row {
    std::string what;
    double value;
    const char* unit;
    double target;  // 0: no target
};

inline void printRow(const Row& r) {
    if (r.target > 0)
        std::printf("| %s | %.3f %s | <= %.3g %s | %s |\n", r.what.c_str(), r.value, r.unit, r.target, r.unit,
                    r.value <= r.target ? "ok" : "OVER");
    else
        std::printf("| %s | %.3f %s | | |\n", r.what.c_str(), r.value, r.unit);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A memory figure of this process from /proc/self/status ("VmRSS:", "VmHWM:"), in MB.
inline double statusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

}  // namespace blokpost::bench
