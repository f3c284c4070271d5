#include "program_driver.h"

#include <ctype.h>
#include <stdio.h>

#include <utility>

namespace {

const char MainCaption[] = "Zyklomatrix 1.01 (Freeware)";
const char DialogClass[] = "#32770";
const DWORD PollMs = 2;
// The main dialog's display timer.
const WPARAM DisplayTimer = 1000;

struct WindowSearch {
    DWORD processId;
    const char* caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || window == search.except || !IsWindowVisible(window))
        return TRUE;
    if (className(window) != DialogClass || windowText(window) != search.caption)
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND findWindow(DWORD processId, const char* caption, HWND except, DWORD timeoutMs) {
    DWORD startTick = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, caption, except, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        if (GetTickCount() - startTick > timeoutMs)
            return nullptr;
        Sleep(PollMs);
    }
}

}  // namespace

std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

ProgramDriver::ProgramDriver(std::string exePath, std::string arguments)
    : exePath_(windowsPath(exePath)), arguments_(std::move(arguments)), process_(), dialog_(nullptr) {}

ProgramDriver::~ProgramDriver() {
    if (process_.hProcess == nullptr)
        return;
    if (running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ProgramDriver::start() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exePath_ + "\"";
    if (!arguments_.empty())
        commandLine += " " + arguments_;
    if (!CreateProcessA(exePath_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process_)) {
        process_ = PROCESS_INFORMATION();
        return false;
    }
    return true;
}

HWND ProgramDriver::waitForDialog(DWORD timeoutMs) {
    dialog_ = findWindow(process_.dwProcessId, MainCaption, nullptr, timeoutMs);
    return dialog_;
}

HWND ProgramDriver::waitForWindow(const char* caption, DWORD timeoutMs) {
    return findWindow(process_.dwProcessId, caption, dialog_, timeoutMs);
}

bool ProgramDriver::waitForExit(DWORD timeoutMs, DWORD& exitCode) {
    if (process_.hProcess == nullptr ||
        WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.hProcess, &exitCode) != 0;
}

bool ProgramDriver::running() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void ProgramDriver::click(int id) {
    PostMessageA(control(id), BM_CLICK, 0, 0);
}

void ProgramDriver::pressKey(WORD virtualKey) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = dialog_;
    DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr)
        target = info.hwndFocus;
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void ProgramDriver::sendCommand(WORD id) {
    PostMessageA(dialog_, WM_COMMAND, id, 0);
}

void ProgramDriver::selectEntry(int listId, int index) {
    SendMessageA(control(listId), CB_SETCURSEL, index, 0);
}

void ProgramDriver::settle() {
    // Sent, so that it has been handled when this returns.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(dialog_, WM_TIMER, DisplayTimer, 0, SMTO_NORMAL, 5000, &answer);
}

bool ProgramDriver::runTest(DWORD timeoutMs, std::string& result) {
    settle();
    HWND resultField = control(1002);
    HWND testButton = control(1);
    SendMessageA(resultField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    click(1);
    DWORD startTick = GetTickCount();
    for (;;) {
        result = windowText(resultField);
        if (!result.empty() && IsWindowEnabled(testButton))
            return true;
        if (GetTickCount() - startTick > timeoutMs || !running())
            return false;
        Sleep(10);
    }
}

std::string windowText(HWND window) {
    char text[4096];
    text[0] = '\0';
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL, 5000, &length))
        return std::string();
    return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

std::string className(HWND window) {
    char name[64];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::vector<std::string> listEntries(HWND list) {
    // Asked for in UTF-16: Wine passes the ANSI form of this message to
    // another process without converting it back.
    std::vector<std::string> entries;
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR wide[256] = {};
        char text[256] = {};
        if (SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide)) < 0 ||
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr) == 0)
            entries.push_back("<error>");
        else
            entries.push_back(text);
    }
    return entries;
}

ResultText splitResult(const std::string& text) {
    ResultText parts;
    std::string value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\t' || text.compare(i, 2, "\r\n") == 0) {
            parts.values.push_back(value);
            value.clear();
            parts.separators.push_back(text[i] == '\t' ? "\t" : "\r\n");
            if (text[i] == '\r')
                ++i;
        } else {
            value += text[i];
        }
    }
    parts.values.push_back(value);
    return parts;
}

bool isDecimal(const std::string& value, int decimals) {
    size_t i = 0;
    if (i < value.size() && value[i] == '-')
        ++i;
    size_t digits = 0;
    while (i < value.size() && isdigit(static_cast<unsigned char>(value[i])))
        ++i, ++digits;
    if (digits == 0 || i >= value.size() || value[i] != '.')
        return false;
    ++i;
    size_t fraction = 0;
    while (i < value.size() && isdigit(static_cast<unsigned char>(value[i])))
        ++i, ++fraction;
    return i == value.size() && fraction == static_cast<size_t>(decimals);
}
