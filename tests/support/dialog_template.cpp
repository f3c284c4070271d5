#include "dialog_template.h"

namespace {

// Word positions in the template's header.
const size_t ControlCountWord = 4;  // after the style and the extended style

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, short width, short height, const char* title,
                               const char* font)
{
    addDword(font != nullptr ? style | DS_SETFONT : style);
    addDword(0);  // extended style
    add(0);       // controls, counted as they are added
    add(0);       // x
    add(0);       // y
    add(static_cast<WORD>(width));
    add(static_cast<WORD>(height));
    add(0);  // no menu
    add(0);  // the standard dialog class
    addText(title);
    if (font != nullptr) {
        add(8);  // points
        addText(font);
    }
}

DialogTemplate& DialogTemplate::control(const char* className, const char* text, DWORD style,
                                        WORD id, short x, short y, short width, short height)
{
    alignToDword();
    addDword(WS_CHILD | WS_VISIBLE | style);
    addDword(0);  // extended style
    add(static_cast<WORD>(x));
    add(static_cast<WORD>(y));
    add(static_cast<WORD>(width));
    add(static_cast<WORD>(height));
    add(id);
    addText(className);
    addText(text);
    add(0);  // no creation data
    ++words[ControlCountWord];
    return *this;
}

void DialogTemplate::addDword(DWORD value)
{
    add(LOWORD(value));
    add(HIWORD(value));
}

void DialogTemplate::addText(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(units > 0 ? units : 1, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
    for (wchar_t unit : wide)
        add(static_cast<WORD>(unit));
}

void DialogTemplate::alignToDword()
{
    if (words.size() % 2 != 0)
        add(0);
}
