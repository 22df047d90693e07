#include "platform/temporary_file.h"

#include <random>

#include "platform/error.h"
#include "platform/files.h"

namespace qx {

TemporaryFile::TemporaryFile(std::string_view prefix, std::string_view suffix) {
    const std::string folder = temporaryFolder();
    if (folder.empty())
        throw Error(err::AccesFichier, "Impossible de trouver le dossier temporaire");
    std::random_device source;
    std::mt19937_64 random(source());
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        name += '-';
        for (int k = 0; k < 12; ++k) name += kDigits[random() % 36];
        name += suffix;
        const std::string candidate = joinPath(folder, name);
        // "x": created here and now, never an existing file.
        if (openFile(candidate, "wbx")) {
            path_ = candidate;
            return;
        }
    }
    throw Error(err::AccesFichier, "Impossible de créer un fichier temporaire dans " + folder);
}

TemporaryFile::~TemporaryFile() {
    removeFile(path_);
}

}  // namespace qx
