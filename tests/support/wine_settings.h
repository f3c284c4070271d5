#pragma once

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
