#include "CoreLog.h"

Q_LOGGING_CATEGORY(lcStorage, "hourlark.storage")
Q_LOGGING_CATEGORY(lcProblems, "hourlark.problems")
