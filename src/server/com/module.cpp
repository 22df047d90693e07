#include "server/com/module.h"

#include <atomic>

namespace qx::com {

namespace {
std::atomic<long> objets{0};
std::atomic<long> verrous{0};
}  // namespace

HMODULE moduleCourant() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&moduleCourant), &module);
    return module;
}

std::wstring cheminModule() {
    std::wstring chemin(MAX_PATH, L'\0');
    for (;;) {
        DWORD n =
            GetModuleFileNameW(moduleCourant(), chemin.data(), static_cast<DWORD>(chemin.size()));
        if (n == 0) return {};
        if (n < chemin.size()) {
            chemin.resize(n);
            return chemin;
        }
        chemin.resize(chemin.size() * 2);
    }
}

void objetCree() {
    ++objets;
}
void objetDetruit() {
    --objets;
}
void verrouiller(bool oui) {
    oui ? ++verrous : --verrous;
}
bool dechargeable() {
    return objets == 0 && verrous == 0;
}

}  // namespace qx::com
