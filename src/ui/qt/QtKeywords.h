#pragma once

// The behaviour's models raise their change events with emit(), which Qt's
// keyword macros (emit, signals, slots) would rewrite. The view writes
// Q_EMIT, Q_SIGNALS and Q_SLOTS instead and keeps the macros away: every
// header of the view includes this one first.
#ifndef QT_NO_KEYWORDS
#define QT_NO_KEYWORDS
#endif
#undef emit
#undef signals
#undef slots
