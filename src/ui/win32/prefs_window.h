#pragma once
// "prefsShow": the plug-in's page in the host's preferences window.

int plugin_prefsShow(void* record);
