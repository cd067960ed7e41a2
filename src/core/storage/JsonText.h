#pragma once

#include <QByteArrayView>

// simdjson rejects a byte-order mark; other writers may put one in front of UTF-8 text.
inline QByteArrayView withoutByteOrderMark(QByteArrayView json) {
    return json.startsWith("\xEF\xBB\xBF") ? json.sliced(3) : json;
}
