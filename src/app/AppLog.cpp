#include "AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "hourlark.app", QtInfoMsg)
