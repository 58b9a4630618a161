// The one console channel for developer diagnostics: every refusal, missing file and fault
// report goes through kv_log as exactly one line on stderr. Player-facing messages use the
// alert line and the menu boxes; profiling readouts stay on stdout.
#pragma once

// printf-style; writes the formatted text and one line end to stderr. A line end inside the
// text is the caller's mistake; the output stays one write.
void kv_log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
