#include "OtherReaders.h"

#include <stdio.h>

#include <algorithm>

#include "Utf8.h"

namespace {

const DWORD kPollMs = 1000;

bool Contains(const std::vector<Reader>& readers, DWORD pid)
{
    return std::any_of(readers.begin(), readers.end(),
                       [pid](const Reader& r) { return r.pid == pid; });
}

} // namespace

OtherReaders::OtherReaders()
    : processes_(nullptr, 0),
      watch_(&processes_, CurrentReaderSelf(), ReaderWatch::Events::None)
{
}

void OtherReaders::Poll(DWORD now)
{
    if (polled_ && now - last_ < kPollMs)
        return;
    polled_ = true;
    last_ = now;
    bool changed = watch_.Scan(now);
    if (!watch_.Refresh(now) && !changed)
        return;
    const std::vector<Reader>& readers = watch_.readers();
    for (const Reader& reader : readers)
        if (!Contains(told_, reader.pid))
            printf("Warning: %s (process %lu) reads the tuner too: keys are shared between "
                   "it and this program, and each key reaches only one of them.\n",
                   Utf8FromWide(reader.exe).c_str(), static_cast<unsigned long>(reader.pid));
    for (const Reader& reader : told_)
        if (!Contains(readers, reader.pid))
            printf("%s (process %lu) no longer reads the tuner.\n",
                   Utf8FromWide(reader.exe).c_str(), static_cast<unsigned long>(reader.pid));
    fflush(stdout);
    told_ = readers;
}
