#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>

namespace Bench {

namespace {

double clockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

qint64 statusKiB(const QByteArray& status, const char* field) {
    const qsizetype at = status.indexOf(field);
    if (at < 0)
        return 0;
    const qsizetype end = status.indexOf('\n', at);
    return status.mid(at + qstrlen(field), end - at - qstrlen(field))
        .trimmed()
        .split(' ')
        .value(0)
        .toLongLong();
}

QString formatted(const Stats& s, const char* unit) {
    const auto number = [](double v) {
        return QString::number(v, 'f', v >= 100 ? 0 : (v >= 10 ? 1 : 2));
    };
    return QStringLiteral("%1 %2 [%3-%4]")
        .arg(number(s.median), QString::fromUtf8(unit), number(s.min), number(s.max));
}

} // namespace

Stats statsOf(QList<double> values) {
    if (values.isEmpty())
        return {};
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.constFirst(), values.constLast(), int(n)};
}

Pair interleaved(int runs, const std::function<double()>& ours,
                 const std::function<double()>& baseline) {
    QList<double> a;
    QList<double> b;
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            a.append(ours());
            b.append(baseline());
        } else {
            b.append(baseline());
            a.append(ours());
        }
    }
    return {statsOf(a), statsOf(b)};
}

Stats repeated(int runs, const std::function<double()>& once) {
    QList<double> values;
    for (int i = 0; i < runs; ++i)
        values.append(once());
    return statsOf(values);
}

double processCpuMs() {
    return clockMs(CLOCK_PROCESS_CPUTIME_ID);
}

double threadCpuMs() {
    return clockMs(CLOCK_THREAD_CPUTIME_ID);
}

double wallMs() {
    return clockMs(CLOCK_MONOTONIC);
}

Memory memory() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray status = file.readAll();
    return {statusKiB(status, "VmRSS:"), statusKiB(status, "VmHWM:")};
}

void resetPeak() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

bool peakResets() {
    static const bool works = [] {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    }();
    return works;
}

Target atMost(double value, double limit, const QString& text) {
    return {text, value <= limit};
}

Target none() {
    return {};
}

void header(const char* oursName, const char* baselineName) {
    std::printf("  %-46s %-26s %-26s %7s  %-12s %s\n", "figure", oursName, baselineName, "ratio",
                "target", "holds");
}

void row(const QString& figure, const Stats& ours, const char* unit,
         const std::optional<Stats>& baseline, const Target& target) {
    const QString mine = formatted(ours, unit);
    QString theirs;
    QString ratio;
    if (baseline) {
        theirs = formatted(*baseline, unit);
        if (baseline->median > 0)
            ratio = QString::number(ours.median / baseline->median, 'f', 2);
    }
    const char* holds = !target.met ? "" : (*target.met ? "yes" : "NO");
    std::printf("  %-46s %-26s %-26s %7s  %-12s %s\n", qPrintable(figure), qPrintable(mine),
                qPrintable(theirs), qPrintable(ratio),
                qPrintable(target.text.isEmpty() ? QStringLiteral("-") : target.text), holds);
    std::fflush(stdout);
}

void note(const QString& text) {
    std::printf("  %s\n", qPrintable(text));
    std::fflush(stdout);
}

} // namespace Bench
