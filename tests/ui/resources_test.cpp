// Reads the program's resources back out of this test program, which links
// the same resource object as Zyklomatrix.exe, and compares them with what the
// dialogs and the shell expect.
#include "res/resource_ids.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct ItemTemplate {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string className;
    std::string text;      // "#128" for a resource number
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::string menu, className, caption;
    WORD pointSize;
    std::string font;
    std::vector<ItemTemplate> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : p_(data) {}
    WORD word() { WORD w; memcpy(&w, p_, 2); p_ += 2; return w; }
    DWORD dword() { DWORD d; memcpy(&d, p_, 4); p_ += 4; return d; }
    short number() { return static_cast<short>(word()); }
    std::string text() {
        std::string s;
        for (WORD w = word(); w != 0; w = word())
            s += w < 0x80 ? static_cast<char>(w) : '?';
        return s;
    }
    // A field that is empty, a resource number or a text.
    std::string textOrNumber() {
        WORD first;
        memcpy(&first, p_, 2);
        if (first == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }
    void alignDword(const BYTE* base) {
        while ((p_ - base) % 4 != 0)
            ++p_;
    }
    void skip(size_t n) { p_ += n; }

private:
    const BYTE* p_;
};

std::string predefinedClass(const std::string& name) {
    static const char* const names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (name.size() > 1 && name[0] == '#') {
        int ordinal = std::stoi(name.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return names[ordinal - 0x80];
    }
    return name;
}

const BYTE* resourceData(LPCSTR name, LPCSTR type, DWORD* size = nullptr) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (found == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = SizeofResource(nullptr, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
}

bool readDialog(WORD id, DialogTemplate& out) {
    const BYTE* base = resourceData(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (base == nullptr)
        return false;
    TemplateReader r(base);
    out.style = r.dword();
    out.exStyle = r.dword();
    WORD count = r.word();
    out.x = r.number(); out.y = r.number(); out.cx = r.number(); out.cy = r.number();
    out.menu = r.textOrNumber();
    out.className = r.textOrNumber();
    out.caption = r.text();
    out.pointSize = 0;
    if (out.style & DS_SETFONT) {
        out.pointSize = r.word();
        out.font = r.text();
    }
    for (WORD i = 0; i < count; ++i) {
        r.alignDword(base);
        ItemTemplate item;
        item.style = r.dword();
        r.dword();  // extended style
        item.x = r.number(); item.y = r.number(); item.cx = r.number(); item.cy = r.number();
        item.id = r.word();
        item.className = predefinedClass(r.textOrNumber());
        item.text = r.textOrNumber();
        r.skip(r.word());  // creation data
        out.items.push_back(item);
    }
    return true;
}

void expectItems(const std::vector<ItemTemplate>& expected, const std::vector<ItemTemplate>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ItemTemplate& e = expected[i];
        const ItemTemplate& a = actual[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + e.className + " \"" + e.text + "\")");
        EXPECT_EQ(e.id, a.id);
        EXPECT_EQ(0, lstrcmpiA(e.className.c_str(), a.className.c_str()))
            << "class " << a.className;
        EXPECT_EQ(e.text, a.text);
        EXPECT_EQ(e.style | WS_CHILD | WS_VISIBLE, a.style) << std::hex << "expected 0x"
            << (e.style | WS_CHILD | WS_VISIBLE) << ", got 0x" << a.style;
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
    }
}

const WORD NoId = 0xFFFF;

TEST(Resources, MainDialogTemplate) {
    DialogTemplate t;
    ASSERT_TRUE(readDialog(IDD_MAIN_DIALOG, t));
    EXPECT_EQ(DWORD(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT), t.style)
        << std::hex << "got 0x" << t.style << ": neither pop-up nor child, not visible";
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(227, t.cx);
    EXPECT_EQ(110, t.cy);
    EXPECT_EQ("", t.menu);
    EXPECT_EQ("", t.className);
    EXPECT_EQ("Zyklomatrix 1.01 (Freeware)", t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.font);

    const std::vector<ItemTemplate> expected = {
        {BS_PUSHBUTTON | WS_TABSTOP, 161, 24, 50, 14, 1, "Button", "Test"},
        {BS_PUSHBUTTON | WS_TABSTOP, 161, 39, 50, 14, 2, "Button", "ESC"},
        {BS_GROUPBOX, 7, 6, 213, 84, NoId, "Button", "Zyklomatrix"},
        {CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 103, 24, 50, 71, 1000, "ComboBox", ""},
        {SS_RIGHT | WS_GROUP, 11, 24, 90, 8, NoId, "Static", "Messdauer ( millisek. ) :"},
        {CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 103, 38, 50, 70, 1001, "ComboBox", ""},
        {SS_RIGHT | WS_GROUP, 11, 41, 90, 8, NoId, "Static", "Wiederholungen / Loops :"},
        {SS_CENTER | SS_CENTERIMAGE | WS_GROUP, 13, 56, 197, 17, 1002, "Static", ""},
        {SS_CENTER | WS_GROUP, 7, 95, 213, 8, 1003, "Static", "https://www.example.org/"},
        {SS_CENTER | SS_CENTERIMAGE | WS_GROUP, 13, 77, 197, 8, 1004, "Static", "MHZ"},
    };
    expectItems(expected, t.items);
}

TEST(Resources, AboutDialogTemplate) {
    DialogTemplate t;
    ASSERT_TRUE(readDialog(IDD_ABOUT_DIALOG, t));
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style)
        << std::hex << "got 0x" << t.style;
    EXPECT_EQ(187, t.cx);
    EXPECT_EQ(102, t.cy);
    EXPECT_EQ("About", t.caption);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.font);

    const std::vector<ItemTemplate> expected = {
        {BS_DEFPUSHBUTTON | WS_TABSTOP, 130, 81, 50, 14, 1, "Button", "OK"},
        {SS_CENTER | WS_GROUP, 25, 43, 78, 32, NoId, "Static",
         "Zyklomatrix Application v1.0\n\nFreeware"},
        {SS_ICON, 55, 18, 20, 20, NoId, "Static", "#128"},
        {BS_GROUPBOX, 7, 7, 115, 88, NoId, "Button", ""},
        {SS_CENTER | WS_GROUP, 17, 82, 99, 8, NoId, "Static", "www.example.org"},
    };
    expectItems(expected, t.items);
}

TEST(Resources, IconGroupHoldsOne32By32SixteenColourImage) {
    DWORD size = 0;
    const BYTE* group = resourceData(MAKEINTRESOURCEA(IDI_PROGRAM), MAKEINTRESOURCEA(14), &size);
    ASSERT_NE(nullptr, group);
    ASSERT_GE(size, 6u + 14u);
    WORD header[3];
    memcpy(header, group, sizeof header);
    EXPECT_EQ(1, header[1]) << "resource type: icon";
    ASSERT_EQ(1, header[2]) << "one image";
    const BYTE* entry = group + 6;
    WORD planes, bitCount, imageId;
    memcpy(&planes, entry + 4, 2);
    memcpy(&bitCount, entry + 6, 2);
    memcpy(&imageId, entry + 12, 2);
    EXPECT_EQ(32, entry[0]) << "width";
    EXPECT_EQ(32, entry[1]) << "height";
    EXPECT_EQ(16, entry[2]) << "colours";
    EXPECT_EQ(4, bitCount);

    const BYTE* image = resourceData(MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));
    ASSERT_NE(nullptr, image);
    BITMAPINFOHEADER bitmap;
    memcpy(&bitmap, image, sizeof bitmap);
    EXPECT_EQ(32, bitmap.biWidth);
    EXPECT_EQ(64, bitmap.biHeight) << "colour and mask planes";
    EXPECT_EQ(4, bitmap.biBitCount);

    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM),
                                               IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    EXPECT_NE(nullptr, icon) << "the platform accepts the icon";
    if (icon != nullptr)
        DestroyIcon(icon);
}

std::string versionString(const BYTE* block, const char* name) {
    char path[128];
    wsprintfA(path, "\\StringFileInfo\\040904b0\\%s", name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, path, reinterpret_cast<void**>(&value), &length))
        return "<missing>";
    return length == 0 ? std::string() : std::string(value);
}

TEST(Resources, VersionRecord) {
    char file[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, file, sizeof file));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(file, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00020001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00020001u, fixed->dwProductVersionLS);
    EXPECT_EQ(2u, fixed->dwFileType);
    EXPECT_EQ(4u, fixed->dwFileOS);

    struct Case { const char* name; const char* value; };
    const Case cases[] = {
        {"FileDescription", "Zyklomatrix Module"},
        {"FileVersion", "1, 0, 2, 1"},
        {"ProductVersion", "1, 0, 2, 1"},
        {"InternalName", "Zyklomatrix 1.02"},
        {"OriginalFilename", "Zyklomatrix.exe"},
        {"ProductName", "Zyklomatrix "},
        {"Comments", ""},
        {"CompanyName", ""},
        {"LegalTrademarks", ""},
        {"PrivateBuild", ""},
        {"SpecialBuild", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, versionString(block.data(), c.name)) << c.name;
}

TEST(Resources, ManifestSelectsCommonControlsSix) {
    DWORD size = 0;
    const BYTE* data = resourceData(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size);
    ASSERT_NE(nullptr, data);
    const std::string manifest(reinterpret_cast<const char*>(data), size);
    const std::string architecture = sizeof(void*) == 8 ? "amd64" : "x86";
    const char* const expected[] = {
        "name=\"Zyklomatrix\" version=\"1.0.0.0\"",
        "type=\"win32\"",
        "<description>Zyklomatrix Application</description>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"",
    };
    for (const char* text : expected)
        EXPECT_NE(std::string::npos, manifest.find(text)) << text;
    EXPECT_EQ(std::string::npos, manifest.find("@")) << "every placeholder replaced";
    size_t architectures = 0;
    for (size_t at = manifest.find("processorArchitecture=\"" + architecture + "\"");
         at != std::string::npos;
         at = manifest.find("processorArchitecture=\"" + architecture + "\"", at + 1))
        ++architectures;
    EXPECT_EQ(2u, architectures) << "program and dependency both name " << architecture;

    // The loader honoured it: the process's activation context redirects
    // the common controls to the side-by-side assembly.
    ACTCTX_SECTION_KEYED_DATA redirection = {};
    redirection.cbSize = sizeof redirection;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &redirection))
        << "error " << GetLastError();
}

}  // namespace
