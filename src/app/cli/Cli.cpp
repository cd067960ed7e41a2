#include "cli/Cli.h"

#include <cstdio>

void Cli::print(const QString& text) {
    printBytes(text.toUtf8() + '\n');
}

void Cli::printBytes(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int Cli::fail(const QString& command, const QString& reason, int status) {
    const QString who =
        command.isEmpty() ? QStringLiteral("hourlark") : QStringLiteral("hourlark ") + command;
    std::fputs(qPrintable(QStringLiteral("%1: %2\n").arg(who, reason)), stderr);
    return status;
}
