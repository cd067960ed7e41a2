// Writes the realistic history of the benchmarks (RealisticHistory.h) where the program reads it,
// so footprint.sh starts Hourlark on the same data bench_core measures.
//   bench_history_file FILE COUNT
#include "RealisticHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = false;
    const qsizetype count = arguments.value(2).toLongLong(&ok);
    if (arguments.size() != 3 || !ok || count < 0) {
        std::fputs("usage: bench_history_file FILE COUNT\n", stderr);
        return 1;
    }
    const QList<TaskEntry> tasks = RealisticHistory::generate(count);
    QSaveFile file(arguments[1]);
    QDir().mkpath(QFileInfo(arguments[1]).path());
    if (!file.open(QIODevice::WriteOnly) || file.write(RealisticHistory::stored(tasks)) < 0 ||
        !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    std::printf("%s\n", qPrintable(RealisticHistory::describe(RealisticHistory::summarize(tasks))));
    return 0;
}
