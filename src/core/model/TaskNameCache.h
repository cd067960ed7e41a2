#pragma once

#include "model/TaskEntry.h"

#include <string>
#include <string_view>
#include <vector>

// Histories name the same few tasks thousands of times; each distinct name is converted once and
// shared by every entry that carries it. The keys are copied, all into one buffer: the text they
// came from is gone by the time the next piece of a history is read.
class TaskNameCache final {
public:
    // nullptr for text that is not UTF-8. Only a name seen for the first time is checked: the
    // keys held are all valid.
    const TaskEntry::Name* operator()(std::string_view utf8);

private:
    struct Known {
        size_t offset;
        size_t length;
        size_t hash;
        TaskEntry::Name name;
    };
    struct Slot {
        size_t hash = 0;
        size_t index = 0; // in m_names, plus one; 0 for a free slot
    };

    static bool sameBytes(const char* key, std::string_view text);
    void grow();

    std::string m_keys;
    std::vector<Known> m_names;
    std::vector<Slot> m_slots; // open addressing; a power of two, at most half full
};
