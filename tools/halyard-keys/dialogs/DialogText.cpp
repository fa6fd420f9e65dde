#include "DialogText.h"

#include <utility>

std::wstring LoadText(UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

std::wstring FillText(std::wstring text, const std::wstring& first, const std::wstring& second,
                      const std::wstring& third)
{
    // Filled from the last slot back, so that a value holding "{2}" is not
    // filled in again.
    const std::pair<const wchar_t*, const std::wstring*> slots[] = {
        {L"{3}", &third}, {L"{2}", &second}, {L"{1}", &first}};
    for (const auto& slot : slots) {
        size_t at = text.find(slot.first);
        if (at != std::wstring::npos)
            text.replace(at, 3, *slot.second);
    }
    return text;
}

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], length + 1));
    return text;
}
