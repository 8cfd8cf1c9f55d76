#pragma once
// Reading one property of a WMI row into the plug-in's narrow text or number.

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <cstdint>
#include <string>

namespace wmi {

// Text in the system's ANSI code page. 0 read; 1 the property could not be
// fetched (or its value could not be turned into text); 2 the value is NULL.
// On a non-zero code `value` is left as it was.
int readStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value) noexcept;

// An unsigned 32-bit number, read from the value's decimal text as "%lu" reads
// it, so a signed -1 reads as 4294967295. 0 read; 1 fetching failed; 2 NULL; 3 the
// text is not an unsigned decimal number, or one beyond 32 bits (as a 64-bit or
// floating-point value can be). On a non-zero code `value` is left as it was.
int readNumberProperty(IWbemClassObject* row, const wchar_t* name, uint32_t& value) noexcept;

} // namespace wmi
