#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

class QDBusArgument;

// One completion as the history interface sends it, (ssxddd): instants in seconds since the Unix
// epoch, which is what scripts on the other end count in.
struct Completion {
    QString id;
    QString name;
    qint64 seconds = 0;
    double start = 0;
    double end = 0;
    double completed = 0;
};
using CompletionList = QList<Completion>;

QDBusArgument& operator<<(QDBusArgument& argument, const Completion& completion);
const QDBusArgument& operator>>(const QDBusArgument& argument, Completion& completion);

namespace ControlTypes {
// Before the first call that carries a completion, on either end.
void registerAll();
} // namespace ControlTypes

Q_DECLARE_METATYPE(Completion)
