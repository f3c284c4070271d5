#pragma once
#include <windows.h>

// Address of the maker's site, shown by the main dialog's link line, and the
// query that the link's target adds to it.

// 0 when the system default language is German (Germany, Switzerland, Austria
// or Luxembourg), else 1; set when the main dialog opens. Picks the address
// variant.
extern LONG NonGermanSystem;

// The value NonGermanSystem takes for a system default language.
LONG NonGermanFlagFor(LANGID language);

// Fixed query naming the page and the product.
extern const char SiteQuery[];

// Size of the buffers that hold the address and the link target.
const int SiteTextSize = 1024;

// Rebuilds the address for the current NonGermanSystem in a process-wide
// buffer and returns it. The text stays valid until the next call.
// Not re-entrant: the dialog thread is its only caller.
const char* BuildSiteAddress();

// Writes the link target, the address followed directly by SiteQuery.
void BuildSiteTarget(char (&target)[SiteTextSize]);
