#pragma once

#include <QLoggingCategory>

// Diagnostics of the core, one category per subsystem; debug lines are off unless asked for
// (QT_LOGGING_RULES="hourlark.*.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcStorage)
Q_DECLARE_LOGGING_CATEGORY(lcProblems)
