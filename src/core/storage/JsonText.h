#pragma once

#include <QByteArrayView>
#include <optional>

// simdjson rejects a byte-order mark; other writers may put one in front of UTF-8 text.
inline QByteArrayView withoutByteOrderMark(QByteArrayView json) {
    return json.startsWith("\xEF\xBB\xBF") ? json.sliced(3) : json;
}

// The end of a JSON array's text, found in the last bytes of it.
struct ArrayEnd {
    qsizetype bracket = 0; // offset of the closing ']' within the bytes looked at
    bool hasElements = false;
};

// nullopt when `tail` (the last bytes of a document) does not end an array in a way this can
// tell without reading more: then the whole value is written instead.
std::optional<ArrayEnd> findArrayEnd(QByteArrayView tail);
