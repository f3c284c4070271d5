#pragma once

#include <windows.h>

// Starts the application module as the program entry does: the common
// controls the dialogs and the link label need, then the module with the
// given resources (by default this program's own). Shuts the module down on
// destruction.
class ModuleScope {
public:
    explicit ModuleScope(HINSTANCE resources = GetModuleHandleA(nullptr));
    ~ModuleScope();
    ModuleScope(const ModuleScope&) = delete;
    ModuleScope& operator=(const ModuleScope&) = delete;

    bool started() const { return started_; }

private:
    bool started_;
};
