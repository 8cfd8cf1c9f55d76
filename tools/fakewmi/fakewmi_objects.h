#pragma once
// The fake's COM objects: a class factory for the locator, and behind it the
// locator, the services, the result enumerator and the rows.

#include <windows.h>

#include <ole2.h>

namespace fakewmi {

// A new class factory for the administrative locator, with one reference.
IClassFactory* newLocatorFactory();

// Objects of this DLL that are still alive, and server locks held.
LONG liveObjects();
LONG serverLocks();

} // namespace fakewmi
