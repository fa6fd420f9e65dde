#include "SaveSetting.h"

#include "IniFile.h"

bool SaveSetting(const std::wstring& path, const std::string& section, const std::string& name,
                 const std::string& line, std::string* error)
{
    IniFile file(path);
    return file.Load(error) && file.Save(SetLine(section, MatchName(name), line), error);
}
