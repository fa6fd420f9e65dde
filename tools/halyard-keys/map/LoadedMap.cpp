#include "LoadedMap.h"

#include "CheckReport.h"
#include "KeyMapFile.h"
#include "Strings.h"

namespace {

// The first lines of a key map's problems that fit in a notification.
const size_t kProblemsInNotification = 2;

} // namespace

LoadedMap::LoadedMap(std::wstring path, Notices* notices, std::function<bool()> setupOffered)
    : path_(std::move(path)), notices_(notices), setupOffered_(std::move(setupOffered))
{
}

void LoadedMap::Load(bool reloading)
{
    KeyMap map;
    std::string error;
    if (!LoadKeyMapFile(path_, &map, &error)) {
        error_ = error;
        notices_->Notify(strings::kMapNotLoadedTitle, error, Notices::Kind::Warning);
    } else if (!map.errors.empty()) {
        error_.clear();
        std::string text = Summary(map) + "\n";
        for (size_t i = 0; i < map.errors.size() && i < kProblemsInNotification; ++i)
            text += strings::kLine + std::to_string(map.errors[i].line) + ": " +
                    map.errors[i].message + "\n";
        notices_->Notify(strings::kMapProblemsTitle, text + strings::kMapProblemsMore,
                         Notices::Kind::Warning);
    } else {
        error_.clear();
        // A new user hears of the setup instead, once.
        if (!map.hasKeysSection && (setupOffered_() || !map.names.empty()))
            notices_->Notify(strings::kNoKeysSectionTitle, strings::kNoKeysSection,
                             Notices::Kind::Info);
        else if (reloading)
            notices_->Notify(strings::kMapReloadedTitle, Summary(map), Notices::Kind::Info);
    }
    map_ = std::move(map);
    if (changed_)
        changed_();
}

bool LoadedMap::IsEmpty() const
{
    return error_.empty() && map_.names.empty() && map_.MappingCount() == 0 &&
           map_.errors.empty();
}

std::string LoadedMap::Problems() const
{
    return error_.empty() ? ErrorLines(map_) : error_;
}
