#include "declaration/fichier_pivot.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/error.h"

namespace qx {

std::vector<std::string> LireLignesFichier(const std::string& chemin) {
    std::error_code ec;
    if (chemin.empty() || std::filesystem::is_directory(chemin, ec))
        throw Error::runtime(err::FichierIntrouvable);
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier) throw Error::runtime(err::FichierIntrouvable);
    const std::string contenu{std::istreambuf_iterator<char>(fichier),
                              std::istreambuf_iterator<char>()};
    if (fichier.bad()) throw Error::runtime(err::AccesFichier);
    if (contenu.empty()) throw Error::runtime(err::FinDeFichier);

    std::vector<std::string> lignes;
    size_t debut = 0;
    while (debut < contenu.size()) {
        size_t fin = contenu.find_first_of("\r\n", debut);
        if (fin == std::string::npos) {
            lignes.emplace_back(contenu, debut);
            break;
        }
        lignes.emplace_back(contenu, debut, fin - debut);
        debut = fin + 1;
        if (contenu[fin] == '\r' && debut < contenu.size() && contenu[debut] == '\n') ++debut;
    }
    return lignes;
}

std::string JoindreLignes(const std::vector<std::string>& lignes) {
    std::string texte;
    for (size_t i = 0; i < lignes.size(); ++i) {
        if (i > 0) texte += "\r\n";
        texte += lignes[i];
    }
    return texte;
}

}  // namespace qx
