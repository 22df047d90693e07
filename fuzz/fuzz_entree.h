// What every fuzz target shares: the input as a file (the readers take
// paths), and the rule that a bad input may only end in a numbered error.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace qx::fuzz {

// A file of this process that holds the given bytes; one per name.
inline std::string fichier(const char* nom, std::string_view contenu) {
    static const std::filesystem::path dossier = std::filesystem::temp_directory_path();
    std::string chemin = (dossier / ("qx_fuzz_" + std::to_string(::getpid()) + "_" + nom)).string();
    std::FILE* f = std::fopen(chemin.c_str(), "wb");
    if (!f) std::abort();
    if (std::fwrite(contenu.data(), 1, contenu.size(), f) != contenu.size()) std::abort();
    std::fclose(f);
    return chemin;
}

inline std::string_view texte(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Runs f; a qx::Error is a fine answer to a bad input. Anything else that
// escapes (another exception, a crash) is a finding.
template <class F>
void sansPlantage(F&& f) {
    try {
        f();
    } catch (const Error&) {
    }
}

}  // namespace qx::fuzz
