#include "settings/control_state_store.h"

#include <commctrl.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/registry_value.h"
#include "settings/value_buffer.h"
#include "settings/value_name.h"

namespace {

enum class StateKind {
    WindowText,     // REG_SZ with its terminating zero
    CheckState,     // "%d" text without terminating zero
    ListSelection,  // REG_DWORD
    ComboSelection, // "%d" text without terminating zero
    Address,        // REG_DWORD
    Hotkey,         // REG_DWORD
    Date,           // REG_BINARY SYSTEMTIME
    TabSelection,   // REG_DWORD
};

struct ControlClass {
    const char* name;
    StateKind kind;
    UINT stateQuery;  // the message that answers the state as a number, if any
};

// Compared exactly, with case, in this order; the first match decides.
const ControlClass controlClasses[] = {
    {"Edit", StateKind::WindowText, 0},
    {"RICHEDIT", StateKind::WindowText, 0},
    {"RichEdit20A", StateKind::WindowText, 0},
    {"Button", StateKind::CheckState, BM_GETCHECK},
    {"ListBox", StateKind::ListSelection, LB_GETCURSEL},
    {"ComboBox", StateKind::ComboSelection, CB_GETCURSEL},
    {"SysIPAddress32", StateKind::Address, 0},
    {"msctls_hotkey32", StateKind::Hotkey, HKM_GETHOTKEY},
    {"SysDateTimePick32", StateKind::Date, 0},
    {"SysTabControl32", StateKind::TabSelection, TCM_GETCURSEL},
};

char className[32];

const ControlClass* findControlClass(const char* name)
{
    for (const ControlClass& entry : controlClasses)
        if (strcmp(entry.name, name) == 0)
            return &entry;
    return nullptr;
}

bool isTextKind(StateKind kind)
{
    return kind == StateKind::WindowText || kind == StateKind::CheckState ||
           kind == StateKind::ComboSelection;
}

// A control without identifier carries 0xFFFF from a dialog template, or -1
// when the identifier was stored as 32 bits.
bool hasNoIdentifier(int identifier)
{
    return identifier == 0xFFFF || identifier == -1;
}

LRESULT send(HWND child, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageA(child, message, wParam, lParam);
}

// Selects an entry of a list or combo box. An index outside the list clears
// the selection: the platform refuses such an index but does not always clear
// the previous selection itself.
void selectIndex(HWND child, UINT setMessage, int index)
{
    const LRESULT refused = -1;  // LB_ERR and CB_ERR
    if (send(child, setMessage, static_cast<WPARAM>(index)) == refused && index != -1)
        send(child, setMessage, static_cast<WPARAM>(-1));
}

BOOL writeValue(const char* keyPath, const char* name, const void* data, DWORD size, DWORD type)
{
    return WriteRegistryValue(HKEY_CURRENT_USER, keyPath, name, data, size, type);
}

BOOL saveWindowText(HWND child, const char* keyPath, const char* name)
{
    int length = GetWindowTextLengthA(child);
    if (length < 0 || length == INT_MAX)
        return TRUE;
    DWORD size = static_cast<DWORD>(length) + 1;
    ValueBuffer buffer(size);
    if (!buffer.data())
        return TRUE;
    // An empty text writes nothing, so an earlier value stays.
    if (GetWindowTextA(child, buffer.data(), static_cast<int>(size)) == 0)
        return TRUE;
    return writeValue(keyPath, name, buffer.data(), size, REG_SZ);
}

// A control showing "no date" is stored as an all-zero record, which is no
// valid date, and restores as "no date" again.
BOOL saveDate(HWND child, const char* keyPath, const char* name)
{
    SYSTEMTIME time = {};
    LRESULT result = send(child, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    if (result == GDT_NONE)
        time = SYSTEMTIME{};
    else if (result != GDT_VALID)
        return TRUE;  // no defined record to store; an earlier value stays
    return writeValue(keyPath, name, &time, sizeof time, REG_BINARY);
}

BOOL saveState(HWND child, const char* keyPath, const char* name, const ControlClass& controlClass)
{
    const StateKind kind = controlClass.kind;
    if (kind == StateKind::WindowText)
        return saveWindowText(child, keyPath, name);
    if (kind == StateKind::Date)
        return saveDate(child, keyPath, name);
    DWORD value = 0;
    if (kind == StateKind::Address)
        send(child, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
    else
        value = static_cast<DWORD>(send(child, controlClass.stateQuery));
    // Check states and combo selections are stored as "%d" text without terminating zero,
    // the other numbers as REG_DWORD.
    if (isTextKind(kind)) {
        char text[16];  // "-2147483648" and its terminating zero
        sprintf(text, "%d", static_cast<int>(value));
        return writeValue(keyPath, name, text, static_cast<DWORD>(strlen(text)), REG_SZ);
    }
    return writeValue(keyPath, name, &value, sizeof value, REG_DWORD);
}

// The stored type is not examined: whatever the value holds is read as text,
// and the buffer's extra zero byte ends it.
void restoreFromText(HWND child, const char* keyPath, const char* name, StateKind kind)
{
    DWORD size = QueryValueSize(HKEY_CURRENT_USER, keyPath, name, REG_SZ);
    if (size == 0)
        return;
    ValueBuffer buffer(size);
    if (!buffer.data())
        return;
    DWORD capacity = buffer.size();
    if (!ReadRegistryValue(HKEY_CURRENT_USER, keyPath, name, buffer.data(), capacity))
        return;
    switch (kind) {
    case StateKind::WindowText:
        SetWindowTextA(child, buffer.data());
        break;
    case StateKind::CheckState:
        send(child, BM_SETCHECK, static_cast<WPARAM>(atoi(buffer.data())));
        break;
    case StateKind::ComboSelection:
        selectIndex(child, CB_SETCURSEL, atoi(buffer.data()));
        break;
    default:
        break;
    }
}

// Reads a 4- or 16-byte record. The stored type is not examined, but only a
// value of exactly the record's size is used: a larger one does not fit and a
// shorter or empty one would leave part of the record undefined.
bool readRecord(const char* keyPath, const char* name, void* record, DWORD size)
{
    DWORD read = size;
    return ReadRegistryValue(HKEY_CURRENT_USER, keyPath, name, record, read) && read == size;
}

void restoreFromRecord(HWND child, const char* keyPath, const char* name, StateKind kind)
{
    if (kind == StateKind::Date) {
        SYSTEMTIME time = {};
        if (!readRecord(keyPath, name, &time, sizeof time))
            return;
        // The record goes along with GDT_NONE too: it is documented as
        // ignored then, but a null address is not accepted everywhere.
        const SYSTEMTIME noDate = {};
        WPARAM flag = memcmp(&time, &noDate, sizeof time) == 0 ? GDT_NONE : GDT_VALID;
        send(child, DTM_SETSYSTEMTIME, flag, reinterpret_cast<LPARAM>(&time));
        return;
    }
    DWORD value = 0;
    if (!readRecord(keyPath, name, &value, sizeof value))
        return;
    // Indices are signed 32-bit numbers (-1 for none) and widen as such;
    // addresses and hotkeys are unsigned.
    int index = static_cast<int>(static_cast<LONG>(value));
    switch (kind) {
    case StateKind::ListSelection:
        selectIndex(child, LB_SETCURSEL, index);
        break;
    case StateKind::Address:
        send(child, IPM_SETADDRESS, 0, static_cast<LPARAM>(value));
        break;
    case StateKind::Hotkey:
        send(child, HKM_SETHOTKEY, static_cast<WPARAM>(value));
        break;
    case StateKind::TabSelection:
        send(child, TCM_SETCURSEL, static_cast<WPARAM>(index));
        break;
    default:
        break;
    }
}

}  // namespace

BOOL CALLBACK VisitChildControl(HWND child, LPARAM requestAddress) noexcept
{
    const ControlStateRequest* request = reinterpret_cast<const ControlStateRequest*>(requestAddress);
    // Without a key path the registry calls would work on HKEY_CURRENT_USER itself.
    if (!request || !request->keyPath)
        return FALSE;

    if (GetParent(child) != request->parent)
        return TRUE;  // grandchildren, such as the edit field inside a combo box
    int identifier = GetDlgCtrlID(child);
    if (hasNoIdentifier(identifier))
        return TRUE;
    if (GetClassNameA(child, className, sizeof className) == 0)
        return TRUE;
    const ControlClass* controlClass = findControlClass(className);
    if (!controlClass)
        return TRUE;

    StateKind kind = controlClass->kind;
    bool byText = request->nameByText &&
                  (kind == StateKind::CheckState || kind == StateKind::ComboSelection);
    const char* name = byText ? ValueNameFromText(child) : Base4ValueName(identifier);

    if (request->mode != 0)
        return saveState(child, request->keyPath, name, *controlClass);
    if (isTextKind(kind))
        restoreFromText(child, request->keyPath, name, kind);
    else
        restoreFromRecord(child, request->keyPath, name, kind);
    return TRUE;
}
