#include "LastKeyLine.h"

#include "Strings.h"

LastKeyLine::LastKeyLine(const KeyMap& map) : map_(map), text_(strings::kMenuNoKeyYet)
{
}

void LastKeyLine::OnKey(const KeyEvent& event, KeyHandling* handling)
{
    // A release or a cancel leaves the line as the key's last frame made it.
    if (event.kind == KeyEvent::Kind::Release || event.kind == KeyEvent::Kind::Cancel)
        return;
    if (event.kind != KeyEvent::Kind::Press && handling->described.empty())
        return; // the frames of a press no one here heard
    text_ = strings::kMenuLastKey + DescribeButton(map_, event.code) +
            (handling->described.empty() ? strings::kNotMapped : handling->described);
}
