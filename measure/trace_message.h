#pragma once

// The sink of the measuring code's trace points. Tracing is switched off in this program:
// the sink discards everything and formats nothing. It is defined here, empty, so that the
// compiler drops each trace point with its text and arguments.
inline void TraceMessage(const char*, ...) {}
