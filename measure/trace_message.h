#pragma once

// The sink of the measuring code's trace points. Tracing is switched off in this program:
// the sink discards everything and formats nothing.
void TraceMessage(const char* format, ...);
