#pragma once
#include <stddef.h>

// How the result rows tell the kinds of cores apart: a short mark after each
// processor's values, and a legend line that says what the marks mean. Two
// kinds are performance and efficiency cores, P and E; three or more are
// named by rank, C1 the fastest.

// Room for one mark, with its zero.
const size_t ClassMarkSize = 8;

// The mark of a class of the given rank (1 the fastest) among kinds classes;
// empty for rank 0, where nothing is told apart.
void FormatClassMark(int rank, int kinds, char (&mark)[ClassMarkSize]);

// The legend of the marks for kinds classes: a German line and an English
// one.
void FormatClassLegend(int kinds, char* text, size_t room);
