#pragma once

#include <string>
#include <vector>

#include "KeyMap.h"

// The key map's button names: the lines of [Names] ("0x12 = KEY_OK"), and
// the lines of [Keys] sections that name their button instead of giving its
// code ("KEY_OK = Enter"). A name line acts as the code line of its button
// would, and the rules for the two are one: a button is mapped once in a
// section, whichever way its line is written, and the first line counts.
// [Names] gives each code one name and each name one code.
class NameLines {
public:
    explicit NameLines(KeyMap* map) : map_(map) {}

    // A line of [Names].
    void Name(int line, const std::string& key, const std::string& value);
    // A [Keys] line whose key is a name. Its code is looked up once the
    // whole file is read, since [Names] may come after the sections that
    // use it. False, with *error, when the name is no button name at all.
    bool Mapping(size_t section, const std::string& name, KeyMapping mapping,
                 std::string* error);
    // Puts the name lines in their sections, in file order, and reports
    // those that cannot be; leaves the map's errors in file order.
    void Finish();

private:
    struct Pending {
        size_t section;
        KeyMapping mapping;
    };

    void Error(int line, const std::string& message);
    void Place(const Pending& pending);

    KeyMap* map_;
    std::vector<Pending> pending_;
};

// "'KEY_FOO' is not a button name (...)": also for the setup and the tests.
std::string UnknownNameMessage(const std::string& name);
