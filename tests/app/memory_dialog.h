#ifndef ZYK_TESTS_APP_MEMORY_DIALOG_H
#define ZYK_TESTS_APP_MEMORY_DIALOG_H

#include <windows.h>

#include <vector>

// A dialog template built in memory: a hidden pop-up with a caption and,
// when controlClass is given, one child control of that window class.
class MemoryDialog {
public:
    explicit MemoryDialog(const char* controlClass = nullptr);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void add(WORD word) { words.push_back(word); }
    void addDword(DWORD value);
    void addText(const char* text);
    void alignToDword();

    std::vector<WORD> words;
};

#endif
