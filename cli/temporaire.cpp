#include "temporaire.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/error.h"

namespace qxtva {

FichierTemporaire::FichierTemporaire(std::string_view prefixe, std::string_view suffixe) {
    std::string modele = (std::filesystem::temp_directory_path() / std::string(prefixe)).string() +
                         "-XXXXXX" + std::string(suffixe);
    std::vector<char> nom(modele.begin(), modele.end());
    nom.push_back('\0');
    const int fd = ::mkstemps(nom.data(), static_cast<int>(suffixe.size()));
    if (fd < 0)
        throw qx::Error(qx::err::AccesFichier, "Impossible de créer un fichier temporaire : " +
                                                   std::string(std::strerror(errno)));
    ::close(fd);
    chemin_ = nom.data();
}

FichierTemporaire::~FichierTemporaire() {
    std::error_code ec;
    std::filesystem::remove(chemin_, ec);
}

}  // namespace qxtva
