#pragma once
// The order in which the Sources page lists the computer's shares.

#include "monitor/connection_info.h"

#include <vector>

// Ascending by name, ASCII letters folded to lower case and the bytes then compared unsigned, a
// prefix first. Names equal after folding end in the order that an exchange sort leaves them in
// (each position against every later one, swapped when greater): not a stable order, and the one
// the page has always shown.
void sortSharesByName(std::vector<ShareInfo>& shares);
