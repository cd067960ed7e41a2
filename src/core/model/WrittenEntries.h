#pragma once

#include "model/TaskEntry.h"

#include <QList>
#include <string_view>

class TaskNameCache;

// The entries exactly as this program writes them, read without simdjson: the same members in
// the same order, no space, no escapes in the name. Reading them this way costs a fraction of
// what simdjson's generic walk does. Anything else, however slight, makes them give up, and the
// text from the entry they stopped at goes to simdjson, which decides.
namespace WrittenEntries {

// `text` is a run: '[', entries separated by commas, ']', then nothing but space. False, with
// whatever it appended left in the list, for anything else.
bool readRun(std::string_view text, TaskNameCache& names, QList<TaskEntry>& tasks);

enum class Stop {
    Short,  // the text ends inside an entry or before the next one begins
    Closed, // the array's ']' is read
    Other,  // something this does not read
};
struct Progress {
    Stop stop;
    qsizetype read; // bytes taken: every entry they hold is in the list
};
// The entries of the array from a place between two of them on, for text that is not all there
// yet. `afterComma`: the last thing read was a comma, so an entry must follow; kept up to date.
Progress readEntries(std::string_view text, TaskNameCache& names, QList<TaskEntry>& tasks,
                     bool& afterComma);

} // namespace WrittenEntries
