#include "link/link_label.h"

#include <commctrl.h>
#include <cstdlib>
#include <cstring>

#include "app/app_module.h"
#include "link/browser_colours.h"
#include "link/gdi_scopes.h"
#include "link/hand_cursor.h"
#include "link/link_rules.h"

namespace {

// A heap copy of 'text', or null when it cannot be made (or there is no text).
char* copyText(const char* text)
{
    if (!text)
        return nullptr;
    const size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy)
        memcpy(copy, text, size);
    return copy;
}

}  // namespace

LinkLabel::LinkLabel(DWORD options) : options_(options) {}

LinkLabel::~LinkLabel()
{
    free(caption_);
    free(target_);
    if ((state_ & OwnsLinkFont) && linkFont_)
        DeleteObject(linkFont_);
    if (handCursor_)
        DestroyCursor(handCursor_);
}

void LinkLabel::prepareControl()
{
    HWND label = window();

    // A static of an image or frame type paints itself; every static gets
    // SS_NOTIFY so that it receives the mouse.
    char className[8] = {};
    GetClassNameA(label, className, sizeof className);
    if (lstrcmpiA(className, "static") == 0) {
        const LONG style = GetWindowLongA(label, GWL_STYLE);
        if (!(style & SS_NOTIFY))
            SetWindowLongA(label, GWL_STYLE, style | SS_NOTIFY);
        if (!staticStyleDrawsLink(GetWindowLongA(label, GWL_STYLE)))
            state_ &= ~DrawsLink;
    }

    handCursor_ = createHandCursor(appModule.moduleInstance());

    if (state_ & DrawsLink) {
        textFont_ = reinterpret_cast<HFONT>(SendMessageA(GetParent(label), WM_GETFONT, 0, 0));
        if (!textFont_)
            textFont_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        if (textFont_ && !linkFont_)
            createLinkFont();
    }

    tipWindow_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, label, nullptr,
                                 appModule.moduleInstance(), nullptr);

    if (!caption_) {
        const int length = GetWindowTextLengthA(label);
        if (length >= 1) {
            char* text = static_cast<char*>(malloc(length + 1));
            if (text) {
                if (GetWindowTextA(label, text, length + 1) != 0)
                    setCaption(text);
                free(text);
            }
        }
    }

    measureLink();

    if (isLive()) {
        addTipTool(target_);
    } else if (caption_) {
        // The caption doubles as the target, which makes the label live.
        setTarget(caption_);
    }

    if (state_ & DrawsLink)
        readBrowserColours(linkColour_, visitedColour_);
}

void LinkLabel::createLinkFont()
{
    LOGFONTA description;
    memset(&description, 0, sizeof description);
    GetObjectA(textFont_, sizeof description, &description);
    deriveLinkFontDescription(description, options_);
    linkFont_ = CreateFontIndirectA(&description);
    state_ |= OwnsLinkFont;
}

bool LinkLabel::setCaption(const char* text)
{
    // The copy is made before the old caption goes, so that a text pointing
    // into the old caption is still readable while it is copied.
    char* copy = copyText(text);
    free(caption_);
    caption_ = copy;
    if (!caption_)
        return false;
    measureLink();
    if (window())
        SetWindowTextA(window(), caption_);
    return true;
}

bool LinkLabel::setTarget(const char* text)
{
    char* copy = copyText(text);
    free(target_);
    target_ = copy;
    if (!target_)
        return false;
    if (!caption_)
        measureLink();
    if (IsWindow(tipWindow_))
        addTipTool(target_);
    return true;
}

MarkupSplit LinkLabel::splitMarkup() const
{
    const char* text = displayedText();
    if (!text)
        return MarkupSplit();
    return ::splitMarkup(text, static_cast<int>(strlen(text)));
}

bool LinkLabel::measureLink()
{
    HWND label = window();
    const char* text = displayedText();
    if (!IsWindow(label) || !text)
        return false;

    WindowDC dc(label);
    RECT client;
    GetClientRect(label, &client);
    linkRect_ = client;
    // A label that does not draw itself is hit over its whole client area.
    if (!(state_ & DrawsLink))
        return true;

    if (options_ & MarkupText) {
        // The span starts on the top line, right after the text before it.
        const MarkupSplit split = splitMarkup();
        SelectedObject font(dc, textFont_);
        RECT before = client;
        if (split.before.present())
            DrawTextA(dc, text + split.before.start, split.before.length, &before,
                      DT_CALCRECT | DT_WORDBREAK);
        font.select(linkFont_);
        RECT span = client;
        if (split.before.present())
            span.left = before.right;
        if (split.link.length > 0) {
            DrawTextA(dc, text + split.link.start, split.link.length, &span,
                      DT_CALCRECT | DT_WORDBREAK);
        } else {
            // An absent or empty span has no area, so nothing hits it.
            span.right = span.left;
            span.bottom = span.top;
        }
        linkRect_ = span;
        return true;
    }

    const LONG style = GetWindowLongA(label, GWL_STYLE);
    {
        SelectedObject font(dc, linkFont_);
        DrawTextA(dc, text, -1, &linkRect_, DT_CALCRECT | DT_WORDBREAK | alignmentFormat(style));
    }
    OffsetRect(&linkRect_, alignmentShift(style, client.right, linkRect_.right), 0);
    return true;
}

void LinkLabel::paintBackground(HDC dc)
{
    HWND label = window();
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    if (!brush)
        return;
    RECT client;
    GetClientRect(label, &client);
    FillRect(dc, &client, brush);
}

void LinkLabel::paintLink(HDC dc)
{
    const char* text = displayedText();
    if (!text)
        return;
    if (options_ & MarkupText)
        paintMarkupLink(dc, text);
    else
        paintPlainLink(dc, text);
}

COLORREF LinkLabel::selectLinkColour(HDC dc)
{
    return SetTextColor(dc, chooseLinkColour(IsWindowEnabled(window()) != FALSE, (state_ & Visited) != 0,
                                             linkColour_, visitedColour_, GetSysColor(COLOR_GRAYTEXT)));
}

void LinkLabel::paintPlainLink(HDC dc, const char* text)
{
    HWND label = window();
    SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = selectLinkColour(dc);
    SelectedObject font(dc, chooseLinkFont(linkFont_, textFont_, options_, state_));
    RECT area = linkRect_;
    DrawTextA(dc, text, -1, &area, DT_WORDBREAK | alignmentFormat(GetWindowLongA(label, GWL_STYLE)));
    if (GetFocus() == label)
        DrawFocusRect(dc, &linkRect_);
    SetTextColor(dc, previousColour);
}

void LinkLabel::paintMarkupLink(HDC dc, const char* text)
{
    HWND label = window();
    const MarkupSplit split = splitMarkup();
    RECT client;
    GetClientRect(label, &client);

    SetBkMode(dc, TRANSPARENT);
    SelectedObject font(dc, textFont_);
    // The text around the span keeps the colour the context holds, which the
    // parent may have set while answering WM_CTLCOLORSTATIC.
    if (split.before.present()) {
        RECT area = client;
        DrawTextA(dc, text + split.before.start, split.before.length, &area, DT_WORDBREAK);
    }

    const COLORREF previousColour = selectLinkColour(dc);
    font.select(chooseLinkFont(linkFont_, textFont_, options_, state_));
    if (split.link.length > 0) {
        RECT area = linkRect_;
        DrawTextA(dc, text + split.link.start, split.link.length, &area, DT_WORDBREAK);
    }
    SetTextColor(dc, previousColour);
    font.select(textFont_);

    if (split.after.present()) {
        RECT area = {linkRect_.right, linkRect_.top, client.right, client.bottom};
        DrawTextA(dc, text + split.after.start, split.after.length, &area, DT_WORDBREAK);
    }
    if (GetFocus() == label)
        DrawFocusRect(dc, &linkRect_);
}

void LinkLabel::addTipTool(const char* text)
{
    // The record up to lParam: the layout every common-controls version takes,
    // at the build's own size (44 bytes on x86, 64 on x64). The tooltip keeps a
    // copy of the text.
    TOOLINFOA tool;
    memset(&tool, 0, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = 0;
    tool.hwnd = window();
    tool.uId = 1;
    tool.rect = linkRect_;
    tool.hinst = appModule.resourceInstance();
    tool.lpszText = const_cast<char*>(text);
    tool.lParam = 0;
    // One tool per label: a later target replaces the text of the earlier
    // one instead of leaving it to show beside or instead of the new one.
    SendMessageA(tipWindow_, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(tipWindow_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tipWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}
