#include "measure/trace_message.h"

void TraceMessage(const char*, ...)
{
}
