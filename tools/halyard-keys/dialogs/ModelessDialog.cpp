#include "ModelessDialog.h"

#include <commctrl.h>

ModelessDialog::~ModelessDialog()
{
    // The derived dialog is gone by now: its window hears nothing more.
    if (dialog_) {
        SetWindowLongPtrW(dialog_, DWLP_USER, 0);
        DestroyWindow(dialog_);
    }
}

void ModelessDialog::Open()
{
    if (!dialog_) {
        // The progress bar and the other common controls a template may hold.
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                     nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
        if (!dialog_)
            return;
        ShowWindow(dialog_, SW_SHOW);
    }
    SetForegroundWindow(dialog_);
}

bool ModelessDialog::PreTranslate(MSG* msg)
{
    return dialog_ && IsDialogMessageW(dialog_, msg);
}

INT_PTR CALLBACK ModelessDialog::DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ModelessDialog*>(lParam);
        self->dialog_ = dialog;
        self->Init();
        return TRUE;
    }
    auto* self = reinterpret_cast<ModelessDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self)
        return FALSE;
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->dialog_ = nullptr;
        self->Closed();
        return FALSE;
    }
    return self->Handle(msg, wParam, lParam);
}
