#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/platform_guard.h"

// Records every value the store hands to RegSetValueExA, exactly as handed
// over, and passes it on to the registry, except for the one name it is told
// to refuse. The platform may store a text differently (it may add a
// terminating zero), so what the store writes is checked here.
class SetValueRecorder {
public:
    struct Call {
        std::string name;
        DWORD type;
        std::string data;
    };

    explicit SetValueRecorder(const char* refusedName = nullptr);
    ~SetValueRecorder();
    SetValueRecorder(const SetValueRecorder&) = delete;
    SetValueRecorder& operator=(const SetValueRecorder&) = delete;

    const std::vector<Call>& calls() const;
    const Call* find(const char* name) const;

private:
    SettingsPlatformGuard guard_;
};
