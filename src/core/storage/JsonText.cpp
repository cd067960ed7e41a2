#include "storage/JsonText.h"

namespace {
bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

qsizetype lastNonSpace(QByteArrayView text, qsizetype before) {
    qsizetype i = before - 1;
    while (i >= 0 && isJsonSpace(text[i]))
        --i;
    return i;
}
} // namespace

std::optional<ArrayEnd> findArrayEnd(QByteArrayView tail) {
    const qsizetype bracket = lastNonSpace(tail, tail.size());
    if (bracket < 0 || tail[bracket] != ']')
        return std::nullopt;
    const qsizetype previous = lastNonSpace(tail, bracket);
    if (previous < 0)
        return std::nullopt;
    // '[' can only be the array's own opening here: an element never ends with it.
    return ArrayEnd{bracket, tail[previous] != '['};
}
