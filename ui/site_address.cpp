#include "ui/site_address.h"

#include <string.h>

LONG NonGermanSystem = 1;

const char SiteQuery[] = "?seite=Freeware&SID=Zyklomatrix";

namespace {

char SiteAddressBuffer[SiteTextSize];

// One character per 4-byte slot; the address is assembled from indexes into
// this table, so it never appears whole in the program's data.
const char Fragments[][4] = {
    "h", "t", "p", "s", ":", "/", "w", ".", "e", "x",   // 0-9
    "a", "m", "l", "o", "r", "g", "d", "n", "z", "y",   // 10-19
    "k", "i",                                           // 20-21
};

// "https://www.example.org/"
const unsigned char Leading[] = {0, 1, 1, 2, 3, 4, 5, 5, 6, 6, 6, 7,
                                 8, 9, 10, 11, 2, 12, 8, 7, 13, 14, 15, 5};
// "de" on German systems, "en" elsewhere.
const unsigned char German[] = {16, 8};
const unsigned char Other[] = {8, 17};
// "/zyklomatrix/"
const unsigned char Closing[] = {5, 18, 19, 20, 12, 13, 11, 10, 1, 14, 21, 9, 5};

template <size_t N>
void appendFragments(const unsigned char (&sequence)[N]) {
    for (unsigned char index : sequence)
        strncat(SiteAddressBuffer, Fragments[index],
                sizeof SiteAddressBuffer - strlen(SiteAddressBuffer) - 1);
}

}  // namespace

LONG NonGermanFlagFor(LANGID language) {
    switch (language) {
    case 1031:  // German (Germany)
    case 2055:  // German (Switzerland)
    case 3079:  // German (Austria)
    case 4103:  // German (Luxembourg)
        return 0;
    default:
        return 1;
    }
}

const char* BuildSiteAddress() {
    SiteAddressBuffer[0] = '\0';
    appendFragments(Leading);
    if (NonGermanSystem == 0)
        appendFragments(German);
    else
        appendFragments(Other);
    appendFragments(Closing);
    return SiteAddressBuffer;
}

void BuildSiteTarget(char (&target)[SiteTextSize]) {
    target[0] = '\0';
    strncat(target, BuildSiteAddress(), SiteTextSize - 1);
    strncat(target, SiteQuery, SiteTextSize - strlen(target) - 1);
}
