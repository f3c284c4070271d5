#include "ui/rated_line.h"

#include "ui/class_marks.h"
#include "ui/text_writer.h"

namespace {

const char Unknown[] = "unbekannt / unknown";

const char* sourceName(RatedSource source)
{
    switch (source) {
    case RatedByCpuid:
        return "CPUID";
    case RatedByBrand:
        return "Name";
    case RatedByWindows:
        return "Windows";
    default:
        return "";
    }
}

void appendMhz(TextWriter& out, DWORD mhz)
{
    char text[MhzTextSize];
    FormatGroupedMhz(mhz, text);
    out.append(text);
    out.append(" MHz");
}

void appendSource(TextWriter& out, RatedSource source)
{
    out.append(" (");
    out.append(sourceName(source));
    out.append(")");
}

// One kind's clocks. The source is named once at the end where both come from CPUID.
void appendClock(TextWriter& out, const RatedClock& clock)
{
    if (clock.baseMhz == 0 && clock.maxMhz == 0) {
        out.append(Unknown);
        return;
    }
    out.append("Basis / base ");
    if (clock.baseMhz == 0) {
        out.append(Unknown);
    } else {
        appendMhz(out, clock.baseMhz);
        if (clock.baseSource != RatedByCpuid || clock.maxMhz == 0)
            appendSource(out, clock.baseSource);
    }
    out.append(", max. ");
    if (clock.maxMhz == 0) {
        out.append(Unknown);
        return;
    }
    appendMhz(out, clock.maxMhz);
    appendSource(out, RatedByCpuid);
}

}  // namespace

void FormatRatedReference(DWORD mhz, bool maximum, char* text, size_t room) {
    TextWriter out(text, room);
    out.append(maximum ? "Nenntakt / Rated max. " : "Nenntakt / Rated base ");
    appendMhz(out, mhz);
}

void FormatRatedLine(const RatedClocks& rated, char* text, size_t room) {
    TextWriter out(text, room);
    out.append("Nenntakt / Rated: ");
    if (rated.kinds < 2) {
        appendClock(out, rated.byRank[0]);
        return;
    }
    for (int rank = 1; rank <= rated.kinds && rank <= RatedKinds; ++rank) {
        char mark[ClassMarkSize];
        FormatClassMark(rank, rated.kinds, mark);
        if (rank > 1)
            out.append("; ");
        out.append(mark);
        out.append(": ");
        appendClock(out, rated.byRank[rank - 1]);
    }
}
