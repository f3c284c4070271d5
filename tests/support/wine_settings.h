#pragma once

#include <windows.h>

// Wine, where the tests run: whether this process runs under it, and the
// Windows version it reports to one program.

// True when running under Wine.
bool runningUnderWine();

// Sets or removes the Windows version Wine reports to one program, by its
// file name ("win98", "winxp", ...); a null or empty version removes the
// setting. Returns true when the setting is as asked.
bool setWineVersionFor(const char* exeName, const char* version);

// Makes Wine report a version to one program for as long as the object
// lives. A setting left behind by an aborted run is removed first.
class ReportedWindowsVersion {
public:
    ReportedWindowsVersion(const char* exeName, const char* version);
    ~ReportedWindowsVersion();
    ReportedWindowsVersion(const ReportedWindowsVersion&) = delete;
    ReportedWindowsVersion& operator=(const ReportedWindowsVersion&) = delete;

    bool written() const { return written_; }

private:
    const char* exeName_;
    bool written_;
};

// Makes the processes that Wine starts from now on see a screen of the given DPI, as Wine's
// own configuration does ("LogPixels" under HKEY_CURRENT_USER\Control Panel\Desktop, which
// comes before the machine-wide "LogPixels" under HKEY_CURRENT_CONFIG\Software\Fonts), and
// leaves them unaware of it unless they declare themselves aware, as Windows does
// ("DpiScalingVer" in the same key; where it is absent, Wine makes every process aware of
// each screen's DPI). A process reads both once, when it starts: restore them as soon as
// the processes that are meant to see them run, so that no other test program does. The
// earlier values, or their absence, come back with restore() or at the end of the object.
class WineScreenDpi {
public:
    explicit WineScreenDpi(DWORD dpi);
    ~WineScreenDpi();
    WineScreenDpi(const WineScreenDpi&) = delete;
    WineScreenDpi& operator=(const WineScreenDpi&) = delete;

    bool written() const { return written_; }
    void restore();

private:
    struct SavedValue {
        const char* name;
        bool present;
        DWORD type;
        DWORD size;
        BYTE data[64];
    };
    bool save(SavedValue& value);
    void put(const SavedValue& value);

    SavedValue logPixels_;
    SavedValue scalingVersion_;
    bool saved_;
    bool written_;
};
