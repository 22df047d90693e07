#include "platform/temporary_file.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/error.h"

namespace qx {

TemporaryFile::TemporaryFile(std::string_view prefix, std::string_view suffix) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec)
        throw Error(err::AccesFichier,
                    "Impossible de trouver le dossier temporaire : " + ec.message());
    std::random_device source;
    std::mt19937_64 random(source());
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        name += '-';
        for (int k = 0; k < 12; ++k) name += kDigits[random() % 36];
        name += suffix;
        const fs::path candidate = folder / name;
        // "x": created here and now, never an existing file.
        if (std::FILE* file = std::fopen(candidate.string().c_str(), "wbx")) {
            std::fclose(file);
            path_ = candidate.string();
            return;
        }
    }
    throw Error(err::AccesFichier,
                "Impossible de créer un fichier temporaire dans " + folder.string());
}

TemporaryFile::~TemporaryFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

}  // namespace qx
