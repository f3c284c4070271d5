#include "app/app_module.h"
#include "app/creation_list.h"
#include "app/programming_error.h"
#include "app/window_binding.h"

namespace {

// Messages whose result the dialog manager takes from the dialog
// procedure's return value rather than from the message-result slot.
bool returnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_INITDIALOG:
        return true;
    default:
        return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

}  // namespace

DialogBinding::DialogBinding(WORD templateId) : templateNumber(templateId), templateInMemory(nullptr)
{
}

DialogBinding::DialogBinding(const DLGTEMPLATE* memoryTemplate)
    : templateNumber(0), templateInMemory(memoryTemplate)
{
}

DialogBinding::~DialogBinding()
{
    HWND bound = windowHandle;
    if (bound == nullptr || !IsWindow(bound)
        || GetWindowLongPtrA(bound, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(stub.entry()))
        return;
    SetWindowLongPtrA(bound, DWLP_DLGPROC, 0);
    windowHandle = nullptr;
    reportProgrammingError("a dialog binding was destroyed while its dialog window still exists");
}

void* DialogBinding::staticProcedure()
{
    return reinterpret_cast<void*>(&DialogBinding::boundDialogProc);
}

HWND DialogBinding::createModeless(HWND parent, LPARAM parameter)
{
    // The stub is written before the creation starts so that binding on the
    // first message cannot fail for want of storage.
    if (!writeStub())
        return nullptr;
    pushCreation(this);
    HWND created;
    if (templateInMemory != nullptr)
        created = CreateDialogIndirectParamA(appModule.resourceInstance(), templateInMemory, parent,
                                             bootstrapDialogProc, parameter);
    else
        created = CreateDialogParamA(appModule.resourceInstance(), MAKEINTRESOURCEA(templateNumber),
                                     parent, bootstrapDialogProc, parameter);
    // A creation that failed before the dialog's first message leaves the
    // record linked; it must not outlive this call, since the object may not.
    cancelCreation(this);
    return created;
}

INT_PTR DialogBinding::runModal(HWND owner, LPARAM parameter)
{
    if (!writeStub())
        return -1;
    pushCreation(this);
    INT_PTR ended;
    if (templateInMemory != nullptr)
        ended = DialogBoxIndirectParamA(appModule.resourceInstance(), templateInMemory, owner,
                                        bootstrapDialogProc, parameter);
    else
        ended = DialogBoxParamA(appModule.resourceInstance(), MAKEINTRESOURCEA(templateNumber), owner,
                                bootstrapDialogProc, parameter);
    cancelCreation(this);
    return ended;
}

INT_PTR CALLBACK DialogBinding::bootstrapDialogProc(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam)
{
    WindowBinding* object = takeCreation();
    if (object == nullptr)
        return FALSE;

    object->windowHandle = window;
    if (!object->writeStub()) {
        object->windowHandle = nullptr;
        return FALSE;
    }
    SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(object->stub.entry()));
    DLGPROC bound = reinterpret_cast<DLGPROC>(object->stub.entry());
    return bound(window, message, wParam, lParam);
}

INT_PTR CALLBACK DialogBinding::boundDialogProc(WindowBinding* object, UINT message, WPARAM wParam,
                                                LPARAM lParam)
{
    HWND window = object->windowHandle;
    LRESULT result = 0;
    if (object->handleBound(window, message, wParam, lParam, result)) {
        if (returnsResultDirectly(message))
            return result;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY)
        object->releaseWindow();
    return FALSE;
}
