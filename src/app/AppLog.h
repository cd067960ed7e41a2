#pragma once

#include <QLoggingCategory>

// Diagnostics of the application shell: start-up, single instance, signals.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
