#pragma once
// tarnwick.ini: the settings read through an IniReader and the file's exact text.

#include "config/ini_reader.h"
#include "config/plugin_settings.h"

#include <cstdint>
#include <string>

// Buffers the texts are read through: at most size - 1 characters survive.
constexpr size_t kSettingTextBufferSize = 2048;
constexpr size_t kSourceTextBufferSize = 1024;
// A SourcesCount above this reads as this many entries. Far more shares than any
// computer offers, yet it keeps a corrupt count from hanging the load or
// exhausting memory.
constexpr int32_t kMaxSourcesCount = 100000;
// The shortest presence interval, in minutes.
constexpr uint32_t kMinPresenceInterval = 5;

// Everything a load reads, from defaults for what is missing.
PluginSettings readSettings(IniReader& reader);

// Intervals below the minimum (taken as unsigned) become the minimum.
uint32_t clampPresenceInterval(uint32_t minutes);

// The file's bytes, line ends as CR LF. A line break inside a text value (CR LF,
// CR or LF) is written as one blank, so it cannot end the value's line.
std::string formatSettingsFile(const PluginSettings& settings);
