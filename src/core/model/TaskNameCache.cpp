#include "model/TaskNameCache.h"

#include "model/EntryText.h"

#include <QtEndian>
#include <algorithm>
#include <simdjson.h>

using EntryText::word8;

namespace {

// A hash of a name for TaskNameCache: a word at a time, the last one or two words overlapping what
// came before, so short names cost a few multiplications.
size_t hashOf(std::string_view text) {
    constexpr quint64 odd = 0x9E3779B97F4A7C15ULL;
    const char* at = text.data();
    size_t left = text.size();
    quint64 hash = left * odd;
    const auto mix = [&hash](quint64 word) {
        hash = (hash ^ word) * 0xBF58476D1CE4E5B9ULL;
        hash ^= hash >> 31;
    };
    for (; left > 8; at += 8, left -= 8)
        mix(word8(at));
    if (left >= 4)
        mix(quint64(qFromLittleEndian<quint32>(at)) << 32 |
            qFromLittleEndian<quint32>(at + left - 4));
    else if (left > 0)
        mix(quint64(uchar(at[0])) << 16 | quint64(uchar(at[left / 2])) << 8 | uchar(at[left - 1]));
    return size_t(hash);
}

} // namespace

const TaskEntry::Name* TaskNameCache::operator()(std::string_view utf8) {
    if (m_names.size() * 2 >= m_slots.size())
        grow();
    const size_t hash = hashOf(utf8);
    for (size_t at = hash & (m_slots.size() - 1);; at = (at + 1) & (m_slots.size() - 1)) {
        Slot& slot = m_slots[at];
        if (slot.index == 0) {
            if (!simdjson::validate_utf8(utf8.data(), utf8.size()))
                return nullptr;
            m_names.push_back(
                {m_keys.size(), utf8.size(), hash,
                 TaskEntry::Name(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))});
            m_keys.append(utf8);
            slot = {hash, m_names.size()};
            return &m_names.back().name;
        }
        if (slot.hash != hash)
            continue;
        const Known& known = m_names[slot.index - 1];
        if (known.length == utf8.size() && sameBytes(m_keys.data() + known.offset, utf8))
            return &known.name;
    }
}

// Names are short: a word at a time beats a call to memcmp.
bool TaskNameCache::sameBytes(const char* key, std::string_view text) {
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        if (word8(key + i) != word8(text.data() + i))
            return false;
    }
    for (; i < text.size(); ++i) {
        if (key[i] != text[i])
            return false;
    }
    return true;
}

void TaskNameCache::grow() {
    m_slots.assign(std::max<size_t>(64, m_slots.size() * 2), Slot());
    const size_t mask = m_slots.size() - 1;
    for (size_t i = 0; i < m_names.size(); ++i) {
        size_t at = m_names[i].hash & mask;
        while (m_slots[at].index != 0)
            at = (at + 1) & mask;
        m_slots[at] = {m_names[i].hash, i + 1};
    }
}
