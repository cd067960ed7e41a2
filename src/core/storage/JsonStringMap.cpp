#include "storage/JsonStringMap.h"

#include "storage/JsonText.h"
#include "storage/JsonWriter.h"

#include <algorithm>
#include <simdjson.h>

namespace {
using namespace std::string_view_literals;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

std::optional<QHash<QString, QString>> decodeStringMap(QByteArrayView json) {
    json = withoutByteOrderMark(json);
    if (json.isEmpty())
        return std::nullopt;
    simdjson::dom::parser parser;
    simdjson::dom::object object;
    if (parser.parse(json.data(), static_cast<size_t>(json.size())).get_object().get(object))
        return std::nullopt;

    QHash<QString, QString> map;
    for (const simdjson::dom::key_value_pair field : object) {
        std::string_view value;
        if (field.value.get_string().get(value))
            return std::nullopt;
        map.insert(fromUtf8(field.key), fromUtf8(value));
    }
    return map;
}

QByteArray encodeStringMap(const QHash<QString, QString>& map) {
    QList<QString> keys = map.keys();
    std::sort(keys.begin(), keys.end());
    JsonWriter out(map.size() * 32 + 2);
    char* p = JsonWriter::raw(out.reserve(1), "{");
    bool first = true;
    for (const QString& key : keys) {
        const QString& value = map.find(key).value();
        out.commit(p);
        p = out.reserve(JsonWriter::stringRoom(key.size()) + JsonWriter::stringRoom(value.size()) +
                        2);
        if (!first)
            *p++ = ',';
        first = false;
        p = JsonWriter::string(p, key);
        *p++ = ':';
        p = JsonWriter::string(p, value);
    }
    out.commit(p);
    out.commit(JsonWriter::raw(out.reserve(1), "}"));
    return out.take();
}
