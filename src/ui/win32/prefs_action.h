#pragma once
// "prefsAction": apply, OK or cancel of the host's preferences window.

int plugin_prefsAction(void* record);
