#pragma once

#include <windows.h>

#include "app/window_binding.h"
#include "link/link_options.h"
#include "link/markup_split.h"

// Turns a static text control of a dialog into a hyperlink: link colours and
// font, a hand cursor and a tooltip over the link, focus and keyboard, and on
// activation the target opened with the shell or the parent notified. The
// owner attaches the object to the control's window, then calls
// prepareControl; the object must outlive the window.
class LinkLabel : public SubclassBinding {
public:
    explicit LinkLabel(DWORD options = 0);
    ~LinkLabel();
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD tableId) override;

    // Once, after the window is attached: decides whether the label draws
    // itself, creates the cursor, fonts and tooltip, takes the window text as
    // caption, measures and reads the browser colours.
    void prepareControl();

    // Both release the old text first; false when the copy cannot be made,
    // the field is then none.
    bool setCaption(const char* text);
    bool setTarget(const char* text);

    // Recomputes linkRect; false (linkRect unchanged) without a window or text.
    bool measureLink();
    MarkupSplit splitMarkup() const;
    void paintBackground(HDC dc);
    void paintLink(HDC dc);
    // Activates the tooltip and registers the link's rectangle with it, showing
    // 'text'; a tool registered earlier is replaced.
    void addTipTool(const char* text);

    void relayToTip(UINT message, WPARAM wParam, LPARAM lParam);
    void armLeaveTracking();
    // True unless opening the target failed.
    bool activate();

    // Live: has a target or is a command link; only a live label shows the
    // hand and tracks hovering.
    bool isLive() const { return target_ != nullptr || (options_ & CommandLink) != 0; }
    // The caption when there is one, otherwise the target; null when neither.
    const char* displayedText() const { return caption_ ? caption_ : target_; }

    const char* caption() const { return caption_; }
    const char* target() const { return target_; }
    HCURSOR handCursor() const { return handCursor_; }
    HFONT linkFont() const { return linkFont_; }
    HFONT textFont() const { return textFont_; }
    const RECT& linkRect() const { return linkRect_; }
    HWND tipWindow() const { return tipWindow_; }
    COLORREF linkColour() const { return linkColour_; }
    COLORREF visitedColour() const { return visitedColour_; }
    DWORD options() const { return options_; }
    BYTE state() const { return state_; }

private:
    void createLinkFont();
    void paintEntry(HWND window, HDC dc);
    // Sets the link's colour for its state; returns the context's previous one.
    COLORREF selectLinkColour(HDC dc);
    void paintPlainLink(HDC dc, const char* text);
    void paintMarkupLink(HDC dc, const char* text);
    bool followPointer(HWND window, POINT point);
    void leaveLink(HWND window);

    char* caption_ = nullptr;
    char* target_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    HFONT linkFont_ = nullptr;
    HFONT textFont_ = nullptr;  // borrowed, never deleted here
    RECT linkRect_ = {0, 0, 0, 0};
    HWND tipWindow_ = nullptr;
    COLORREF linkColour_ = RGB(0, 0, 255);
    COLORREF visitedColour_ = RGB(128, 0, 128);
    DWORD options_;
    BYTE state_ = DrawsLink;
};
