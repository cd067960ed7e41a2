#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// What every benchmark here shares: runs of Hourlark and its baseline interleaved in pairs, their
// medians and ranges, CPU clocks, the process's memory, and rows that put each figure beside its
// target.
namespace Bench {

struct Stats {
    double median = 0;
    double min = 0;
    double max = 0;
    int runs = 0;
};
Stats statsOf(QList<double> values);

// The statistics of one figure over a run's samples.
template <typename Sample> Stats field(const QList<Sample>& samples, double Sample::*member) {
    QList<double> values;
    for (const Sample& s : samples)
        values.append(s.*member);
    return statsOf(values);
}

struct Pair {
    Stats ours;
    Stats baseline;
};
// Runs both `runs` times, alternating which goes first, so a busy moment of a shared machine
// falls on both alike.
Pair interleaved(int runs, const std::function<double()>& ours,
                 const std::function<double()>& baseline);
Stats repeated(int runs, const std::function<double()>& once);

// CPU time of the whole process (every thread) and of the calling thread, in milliseconds.
double processCpuMs();
double threadCpuMs();
double wallMs();

// Resident memory of the process in KiB, now and at its highest since the last resetPeak().
struct Memory {
    qint64 residentKiB = 0;
    qint64 peakKiB = 0;
};
Memory memory();
// Hands freed heap back to the system and starts a new peak from what is resident now, so the
// next peak belongs to the work that follows.
void resetPeak();
// Whether resetPeak() works here (it needs /proc/self/clear_refs).
bool peakResets();

// A figure's target: described for the reader, and whether it holds.
struct Target {
    QString text;            // "<= 15 ms", "<= 1.2x"; empty when the figure has none
    std::optional<bool> met; // nullopt when there is nothing to check
};
Target atMost(double value, double limit, const QString& text);
Target none();

// A table: one header, then rows. Times print as "12.3 ms [11.9-13.0]"; a row with a baseline
// adds it and the ratio.
void header(const char* oursName, const char* baselineName);
void row(const QString& figure, const Stats& ours, const char* unit,
         const std::optional<Stats>& baseline = std::nullopt, const Target& target = none());
void note(const QString& text);

} // namespace Bench
