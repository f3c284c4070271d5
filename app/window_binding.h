#ifndef ZYK_APP_WINDOW_BINDING_H
#define ZYK_APP_WINDOW_BINDING_H

#include <windows.h>

#include "app/creation_list.h"
#include "app/proc_trampoline.h"

// The object side of a window the program handles with code of its own.
// Each binding owns an executable stub that replaces the window handle
// argument of the window's procedure with the object's address and jumps to
// the class's static procedure, so that no lookup happens per message.
// A binding must outlive its window.
class WindowBinding {
public:
    // The virtual slots, in this order.

    // Returns nonzero when it handled the message, and then has stored the
    // message's result through result. The static procedures pass tableId 0;
    // handlers report any other selector as not handled.
    virtual BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result, DWORD tableId) = 0;
    // The procedure the stub jumps to: boundDialogProc or boundWindowProc.
    virtual void* staticProcedure() = 0;
    // Called once after the window's final message, with the handle the
    // object had. Does nothing by default.
    virtual void windowReleased(HWND window);

    // Null until bound, and null again after the final message.
    HWND window() const { return windowHandle; }

    // The record of the message being handled (window, message, wParam,
    // lParam; time and point 0), or null. A nested dispatch sees its own.
    const MSG* currentMessage() const { return messageSlot; }

    // The stub's entry point, null before it was first written.
    void* stubAddress() const { return stub.entry(); }

protected:
    WindowBinding();
    ~WindowBinding() = default;

private:
    friend class DialogBinding;
    friend class SubclassBinding;
    friend void pushCreation(WindowBinding* object);
    friend bool cancelCreation(WindowBinding* object);

    WindowBinding(const WindowBinding&) = delete;
    WindowBinding& operator=(const WindowBinding&) = delete;

    // Writes the stub for this object and its static procedure.
    bool writeStub();
    // Calls handleMessage with selector 0 while the current-message slot
    // points at a record of this message, then restores the slot.
    BOOL handleBound(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Clears the window handle, then reports the old one to windowReleased.
    void releaseWindow();

    HWND windowHandle;
    ProcTrampoline stub;
    // Links the object into the pending-creation list while its dialog is
    // being created. It lies beside the stub rather than over it, because
    // the stub lives in executable storage of its own.
    CreationRecord creation;
    const MSG* messageSlot;
};

// A binding whose window is a dialog. Its stub becomes the dialog procedure
// on the first message the dialog receives.
class DialogBinding : public WindowBinding {
public:
    // A template in the resource instance.
    explicit DialogBinding(WORD templateId);
    // A template in memory, which must stay valid while dialogs are created
    // from it.
    explicit DialogBinding(const DLGTEMPLATE* memoryTemplate);

    // Returns the new dialog window, or null.
    HWND createModeless(HWND parent, LPARAM parameter);
    // Returns the dialog's end code, or -1 when it could not be created.
    INT_PTR runModal(HWND owner, LPARAM parameter = 0);

    void* staticProcedure() override;

    // The dialog procedure given to the platform at creation. It binds the
    // calling thread's newest pending object to the window and passes the
    // message on through the stub. Without a pending record it does
    // nothing and returns 0, so the default dialog processing runs.
    static INT_PTR CALLBACK bootstrapDialogProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    // Reached through the stub with the object in place of the window.
    static INT_PTR CALLBACK boundDialogProc(WindowBinding* object, UINT message, WPARAM wParam,
                                            LPARAM lParam);

protected:
    // A dialog binding must outlive its window. One destroyed while its
    // window lives leaves the window without a dialog procedure (default
    // processing only, never freed code) and reports the programming error.
    ~DialogBinding();

private:
    WORD templateNumber;
    const DLGTEMPLATE* templateInMemory;
};

// A binding that takes over an existing window: its stub replaces the
// window procedure, and messages it does not handle go on to the previous
// procedure.
class SubclassBinding : public WindowBinding {
public:
    SubclassBinding();

    // Returns 1 when bound, 0 when the window procedure cannot be replaced;
    // the object is then unchanged apart from its stub.
    BOOL attachToWindow(HWND window);

    // The procedure the stub replaced; DefWindowProcA before any attach.
    WNDPROC previousProcedure() const { return previous; }

    void* staticProcedure() override;

    // Reached through the stub with the object in place of the window.
    static LRESULT CALLBACK boundWindowProc(WindowBinding* object, UINT message, WPARAM wParam,
                                            LPARAM lParam);

protected:
    // Still attached to a live window, the binding puts the previous
    // procedure back first, so that the window never calls the freed stub.
    // If other code has put a procedure of its own over the stub meanwhile,
    // the previous one cannot be put back without cutting that code out: a
    // programming error, reported.
    ~SubclassBinding();

private:
    WNDPROC previous;
};

#endif
