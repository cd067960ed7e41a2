#include "Fakes.h"

std::optional<QByteArray> MemoryPreferencesStore::value(const QString& key) const {
    const auto it = values.constFind(key);
    if (it == values.constEnd())
        return std::nullopt;
    return *it;
}

bool MemoryPreferencesStore::setValue(const QString& key, const QByteArray& bytes) {
    if (failWrites)
        return false;
    values.insert(key, bytes);
    ++writeCount;
    return true;
}

bool MemoryPreferencesStore::keepAside(const QString& key) {
    if (failWrites)
        return false;
    const auto it = values.constFind(key);
    if (it != values.constEnd())
        keptAside[key].append(*it);
    return true;
}
