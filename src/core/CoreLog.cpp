#include "CoreLog.h"

Q_LOGGING_CATEGORY(lcStorage, "hourlark.storage", QtInfoMsg)
Q_LOGGING_CATEGORY(lcProblems, "hourlark.problems", QtInfoMsg)
