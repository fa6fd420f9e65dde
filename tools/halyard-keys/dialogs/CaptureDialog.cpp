#include "CaptureDialog.h"

void CaptureDialog::OnKey(const KeyEvent& event, KeyHandling* handling)
{
    if (!dialog_ || event.kind == KeyEvent::Kind::Cancel)
        return;
    handling->taken = true;
    handling->described = described_;
    if (event.kind == KeyEvent::Kind::Press)
        Pressed(event.code);
}
