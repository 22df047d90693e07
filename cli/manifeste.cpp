#include "manifeste.h"

#include <array>
#include <filesystem>

#include "commande.h"
#include "parametres.h"
#include "platform/text_fields.h"
#include "platform/text_line_reader.h"

namespace qxtva {

std::vector<Dossier_lot> lireManifeste(const std::string& chemin) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(chemin, ec))
        throw ManifesteInvalide("manifeste « " + chemin + " » introuvable");
    const std::filesystem::path dossier = std::filesystem::path(chemin).parent_path();
    auto place = [&](const std::string& p) {
        return p.empty() || std::filesystem::path(p).is_absolute() ? p : (dossier / p).string();
    };
    qx::TextLineReader fichier(chemin);
    std::vector<Dossier_lot> lot;
    std::string_view texte;
    while (fichier.next(texte)) {
        texte = qx::trimBlanks(texte);
        if (texte.empty() || texte.front() == '#' || texte.rfind("donnees;", 0) == 0) continue;
        const std::string ici = "manifeste, ligne " + std::to_string(fichier.lineNumber()) + " : ";
        std::vector<std::string_view> vues;
        qx::splitFields(texte, ';', vues, true);
        const std::vector<std::string> c(vues.begin(), vues.end());
        if (c.size() < 3 || c.size() > 6)
            throw ManifesteInvalide(ici +
                                    "3 à 6 champs séparés par « ; » attendus "
                                    "(donnees;rubriques;resultat[;type[;acomptes[;dossier]]]), " +
                                    std::to_string(c.size()) + " trouvés");
        Dossier_lot d;
        d.ligne = fichier.lineNumber();
        d.donnees = place(c[0]);
        d.rubriques = place(c[1]);
        d.resultat = place(c[2]);
        if (d.donnees.empty() || d.rubriques.empty() || d.resultat.empty())
            throw ManifesteInvalide(ici + "données, rubriques et résultat sont obligatoires");
        try {
            if (c.size() > 3 && !c[3].empty()) d.type = lireType(c[3]);
            if (c.size() > 4) {
                std::vector<std::string> acomptes;
                std::string_view reste = c[4];
                while (!(reste = qx::trimBlanks(reste)).empty()) {
                    const size_t fin = reste.find_first_of(" \t");
                    acomptes.emplace_back(reste.substr(0, fin));
                    if (fin == std::string_view::npos) break;
                    reste.remove_prefix(fin);
                }
                d.acomptes = lireAcomptes(acomptes);
            }
        } catch (const ErreurUsage& e) {
            throw ManifesteInvalide(ici + e.what());
        }
        if (c.size() > 5 && !c[5].empty()) d.dossier = place(c[5]);
        lot.push_back(std::move(d));
    }
    if (lot.empty()) throw ManifesteInvalide("manifeste « " + chemin + " » sans aucune ligne");
    return lot;
}

}  // namespace qxtva
