#include "measure/test_parameters.h"

LONG MeasureWindowMs = 0;
LONG RepeatCount = 0;
