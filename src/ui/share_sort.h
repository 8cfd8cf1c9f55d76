#pragma once
// The order in which the Sources page lists the computer's shares.

#include "monitor/connection_info.h"

#include <vector>

// Ascending by name, ASCII letters folded to lower case and the bytes then
// compared unsigned; an exchange sort, so equal names keep the order it gives.
void sortSharesByName(std::vector<ShareInfo>& shares);
