#pragma once
// What the Sources page lists, in order: the computer's shares, then the selected
// sources that no share names now.

#include "config/plugin_settings.h"
#include "monitor/connection_info.h"

#include <vector>

// The path column of a source that no share names now.
constexpr char kNotSharedNow[] = "(not shared now)";

// Ascending by name, ASCII letters folded to lower case and the bytes then compared unsigned, a
// prefix first. Names equal after folding end in the order that an exchange sort leaves them in
// (each position against every later one, swapped when greater): not a stable order, and the one
// the page has always shown.
void sortSharesByName(std::vector<ShareInfo>& shares);

// The selected sources that no share names exactly, byte for byte (a name that
// differs only in case never matches, so it counts as not shared), in their
// stored order and each name once. The page lists them checked after the shares,
// so an apply keeps a share that is away for a while.
std::vector<SourceEntry> sourcesNotShared(const std::vector<SourceEntry>& sources,
                                          const std::vector<ShareInfo>& shares);
