#include "IniEdit.h"

IniEdit SetLine(const std::string& section, const IniText::KeyMatch& match,
                const std::string& line)
{
    return [=](IniText* text, std::string* error) {
        return text->Set(section, match, line, error);
    };
}

IniEdit RemoveLines(const std::string& section, const IniText::KeyMatch& match)
{
    return [=](IniText* text, std::string*) {
        text->Remove(section, match);
        return true;
    };
}
