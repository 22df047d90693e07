// The checks of the Wine bench's C++ programs: one line per fault, then the
// two lines tests/windows/run.sh reads ("RESULTAT <name> <checks> <faults>",
// "FIN <name>").
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

inline int fautes = 0;
inline int verifications = 0;

inline void verifier(bool condition, const std::string& quoi, HRESULT hr = S_OK) {
    ++verifications;
    if (!condition) {
        ++fautes;
        std::printf("FAUTE %s (0x%08lx)\n", quoi.c_str(), static_cast<unsigned long>(hr));
    }
}

inline int terminer(const char* nom) {
    std::printf("RESULTAT %s %d %d\nFIN %s\n", nom, verifications, fautes, nom);
    CoUninitialize();
    return fautes == 0 ? 0 : 1;
}
