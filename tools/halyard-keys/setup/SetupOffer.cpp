#include "SetupOffer.h"

#include <windows.h>

#include "Strings.h"

namespace {

const wchar_t kKey[] = L"Software\\Halyard\\Keys";
const wchar_t kValue[] = L"SetupOffered";

} // namespace

bool SetupOffered()
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
           value != 0;
}

void RememberSetupOffered()
{
    // Should the registry refuse, the offer comes again at the next start:
    // better than never.
    DWORD value = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof(value));
}

SetupOffer::SetupOffer(const LoadedMap& map, Notices* notices, std::function<bool()> setupOpen)
    : map_(map), notices_(notices), setupOpen_(std::move(setupOpen))
{
}

void SetupOffer::Offer()
{
    if (offered_ || !map_.IsEmpty() || setupOpen_())
        return;
    // Read once: the registry is not asked again on every key.
    offered_ = SetupOffered();
    if (offered_)
        return;
    shown_ = notices_->Notify(strings::kSetupOfferTitle, strings::kSetupOffer,
                              Notices::Kind::Info);
    if (shown_) {
        RememberSetupOffered();
        offered_ = true;
    }
}

void SetupOffer::OnKey(const KeyEvent& event, KeyHandling*)
{
    if (event.kind == KeyEvent::Kind::Press)
        Offer();
}
