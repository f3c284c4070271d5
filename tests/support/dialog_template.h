#pragma once

#include <windows.h>

#include <vector>

// A dialog template built in memory, for dialogs made with
// CreateDialogIndirectParamA or DialogBoxIndirectParamA. Texts are given in
// the ANSI code page and stored as the template's UTF-16. The template must
// stay valid while dialogs are created from it.
class DialogTemplate {
public:
    // A dialog of the given style and size in dialog units, without a menu,
    // of the standard dialog class. With a font name, DS_SETFONT is added and
    // the font is stored at 8 points.
    DialogTemplate(DWORD style, short width, short height, const char* title,
                   const char* font = nullptr);

    // Adds a child control (WS_CHILD | WS_VISIBLE and the given style) of a
    // window class given by name, without creation data.
    DialogTemplate& control(const char* className, const char* text, DWORD style, WORD id,
                            short x, short y, short width, short height);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void add(WORD word) { words.push_back(word); }
    void addDword(DWORD value);
    void addText(const char* text);
    void alignToDword();

    // WORDs keep the whole template 2-byte aligned; the vector's storage
    // starts 4-byte aligned, as the header needs.
    std::vector<WORD> words;
};
