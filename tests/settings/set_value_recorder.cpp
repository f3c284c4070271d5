#include "set_value_recorder.h"

namespace {

std::vector<SetValueRecorder::Call> recordedCalls;
std::string refused;
bool refusing = false;

LONG WINAPI recordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size)
{
    recordedCalls.push_back({name ? name : "", type, std::string(reinterpret_cast<const char*>(data), size)});
    if (refusing && name && refused == name)
        return ERROR_ACCESS_DENIED;
    return ::RegSetValueExA(key, name, reserved, type, data, size);
}

}  // namespace

SetValueRecorder::SetValueRecorder(const char* refusedName)
{
    recordedCalls.clear();
    refusing = refusedName != nullptr;
    refused = refusedName ? refusedName : "";
    settingsPlatform().RegSetValueExA = recordingSetValue;
}

SetValueRecorder::~SetValueRecorder()
{
    refusing = false;
}

const std::vector<SetValueRecorder::Call>& SetValueRecorder::calls() const
{
    return recordedCalls;
}

const SetValueRecorder::Call* SetValueRecorder::find(const char* name) const
{
    for (const Call& call : recordedCalls)
        if (call.name == name)
            return &call;
    return nullptr;
}
