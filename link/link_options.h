#pragma once

#include <windows.h>

// Behaviour switches of a LinkLabel, fixed when it is constructed.
enum LinkOptions : DWORD {
    NoLinkUnderline = 0x01,  // link font is a plain copy of the text font
    HoverOnlyStyle = 0x02,   // link font only while the pointer is over the link
    CommandLink = 0x04,      // live without a target; activation sends WM_COMMAND
    NotifyLink = 0x08,       // with CommandLink: activation sends WM_NOTIFY/NM_CLICK
    MarkupText = 0x10,       // only the span between <A> and </A> is the link
    MarkupBold = 0x20,       // with MarkupText: bold, not underlined link font
    NoTipRelay = 0x40,       // mouse messages never reach the tooltip
};

// Run-time flags of a LinkLabel.
enum LinkState : BYTE {
    DrawsLink = 0x01,     // the label paints itself (clear for image and frame statics)
    Visited = 0x02,       // the target was opened once; never cleared
    Hovering = 0x04,      // pointer over the link under HoverOnlyStyle
    OwnsLinkFont = 0x08,  // the destructor deletes linkFont
};
