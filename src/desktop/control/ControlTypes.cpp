#include "control/ControlTypes.h"

#include <QDBusArgument>
#include <QDBusMetaType>

QDBusArgument& operator<<(QDBusArgument& argument, const Completion& completion) {
    argument.beginStructure();
    argument << completion.id << completion.name << completion.seconds << completion.start
             << completion.end << completion.completed;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Completion& completion) {
    argument.beginStructure();
    argument >> completion.id >> completion.name >> completion.seconds >> completion.start >>
        completion.end >> completion.completed;
    argument.endStructure();
    return argument;
}

namespace ControlTypes {

void registerAll() {
    qDBusRegisterMetaType<Completion>();
    qDBusRegisterMetaType<CompletionList>();
}

} // namespace ControlTypes
