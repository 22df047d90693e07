// What the DLL knows of itself: its handle and path, and the count of live
// objects and host locks that decides whether it may be unloaded.
#pragma once

#include <windows.h>

#include <string>

namespace qx::com {

HMODULE moduleCourant();
// Full path of the DLL, as the loader found it.
std::wstring cheminModule();

void objetCree();
void objetDetruit();
void verrouiller(bool oui);
// True when no object and no lock is alive.
bool dechargeable();

}  // namespace qx::com
