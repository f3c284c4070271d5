#include "ui/class_marks.h"

#include <stdio.h>

#include "app/format_text.h"

void FormatClassMark(int rank, int kinds, char (&mark)[ClassMarkSize]) {
    if (rank <= 0 || kinds < 2)
        mark[0] = '\0';
    else if (kinds == 2)
        FormatText(mark, sizeof mark, "%s", rank == 1 ? "P" : "E");
    else
        FormatText(mark, sizeof mark, "C%d", rank);
}

void FormatClassLegend(int kinds, char* text, size_t room) {
    if (kinds == 2)
        FormatText(text, room, "P = Leistungskern, E = Effizienzkern /\nP = performance core, E = efficiency core");
    else
        FormatText(text, room, "C1 bis C%d: Kernklassen, C1 am schnellsten /\nC1 to C%d: core classes, C1 fastest",
                   kinds, kinds);
}
