#pragma once
// The made-up session that the Events page's Test buttons send through the dispatch.

#include "monitor/share_event.h"

ShareEvent makeTestEvent(EventKind kind);
