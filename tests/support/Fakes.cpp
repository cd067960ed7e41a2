#include "Fakes.h"

#include "storage/JsonText.h"

std::optional<QByteArray> MemoryPreferencesStore::value(const QString& key) const {
    m_lastError.clear();
    const auto it = values.constFind(key);
    if (it == values.constEnd())
        return std::nullopt;
    return *it;
}

bool MemoryPreferencesStore::refused() {
    m_lastError = failWrites ? QStringLiteral("No space left on device") : QString();
    return failWrites;
}

bool MemoryPreferencesStore::setValue(const QString& key, const QByteArray& bytes) {
    if (refused())
        return false;
    values.insert(key, bytes);
    ++writeCount;
    return true;
}

bool MemoryPreferencesStore::keepAside(const QString& key) {
    if (refused())
        return false;
    const auto it = values.constFind(key);
    if (it != values.constEnd())
        keptAside[key].append(*it);
    return true;
}

bool MemoryPreferencesStore::appendToArray(const QString& key, QByteArrayView elements) {
    const auto it = values.find(key);
    if (it == values.end())
        return false;
    const std::optional<ArrayEnd> end = findArrayEnd(*it);
    if (!end)
        return false;
    if (refused())
        return false;
    QByteArray added = end->hasElements ? QByteArray(",") : QByteArray();
    added.append(elements);
    it->insert(end->bracket, added);
    ++writeCount;
    return true;
}
