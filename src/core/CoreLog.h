#pragma once

#include <QLoggingCategory>

// Diagnostics of the core, one category per subsystem (QT_LOGGING_RULES="hourlark.*=true").
Q_DECLARE_LOGGING_CATEGORY(lcStorage)
Q_DECLARE_LOGGING_CATEGORY(lcProblems)
