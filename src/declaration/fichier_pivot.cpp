#include "declaration/fichier_pivot.h"

#include "platform/error.h"
#include "platform/files.h"

namespace qx {

std::vector<std::string> LireLignesFichier(const std::string& chemin) {
    if (chemin.empty() || isFolder(chemin)) throw Error::runtime(err::FichierIntrouvable);
    FileHandle fichier = openFile(chemin, "rb");
    if (!fichier) throw Error::runtime(err::FichierIntrouvable);
    const std::optional<std::string> lu = readAll(fichier.get());
    if (!lu) throw Error::runtime(err::AccesFichier);
    const std::string& contenu = *lu;
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
