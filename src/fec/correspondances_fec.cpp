#include "fec/correspondances_fec.h"

#include <algorithm>
#include <vector>

#include "platform/error.h"
#include "platform/text_fields.h"
#include "platform/text_line_reader.h"

namespace qx::fec {

namespace {

bool codeValide(std::string_view code) {
    return std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

class Lecteur {
public:
    explicit Lecteur(std::string_view nom) : nom_(nom) {}

    void ligne(uint64_t numero, std::string_view texte) {
        texte = trimBlanks(texte);
        if (texte.empty() || texte.front() == '#') return;
        std::vector<std::string_view> c;
        splitFields(texte, ';', c, true);
        if (c.size() < 3 || c.size() > 4)
            echec(numero,
                  "3 ou 4 champs séparés par « ; » attendus (PREFIXE;TYPETAUX;"
                  "CATEGORIEAV[;LIBELLE]), " +
                      std::to_string(c.size()) + " trouvés");
        if (c[0].empty() || !codeValide(c[0]))
            echec(numero, "préfixe de compte « " + std::string(c[0]) + " » invalide");
        if (!codeValide(c[1]) || !codeValide(c[2]))
            echec(numero, "type de taux ou catégorie invalide (lettres et chiffres seulement)");
        Imputation imputation{std::string(c[1]), std::string(c[2]),
                              c.size() == 4 ? std::string(c[3]) : std::string()};
        if (!table_.emplace(std::string(c[0]), std::move(imputation)).second)
            echec(numero, "préfixe « " + std::string(c[0]) + " » déjà défini");
    }

    std::map<std::string, Imputation, std::less<>> table_;

private:
    [[noreturn]] void echec(uint64_t numero, const std::string& raison) const {
        throw Error(err::ErrFEC_Correspondances, "Fichier de correspondances « " + nom_ +
                                                     " », ligne " + std::to_string(numero) + " : " +
                                                     raison);
    }
    std::string nom_;
};

}  // namespace

TableCorrespondances TableCorrespondances::Lire(std::string_view texte, std::string_view nom) {
    Lecteur lecteur(nom);
    uint64_t numero = 0;
    while (!texte.empty()) {
        const size_t fin = texte.find('\n');
        lecteur.ligne(++numero, texte.substr(0, fin));
        if (fin == std::string_view::npos) break;
        texte.remove_prefix(fin + 1);
    }
    return Depuis(std::move(lecteur.table_));
}

TableCorrespondances TableCorrespondances::Charger(const std::string& chemin) {
    TextLineReader fichier(chemin);
    Lecteur lecteur(chemin);
    std::string_view ligne;
    while (fichier.next(ligne)) lecteur.ligne(fichier.lineNumber(), ligne);
    return Depuis(std::move(lecteur.table_));
}

TableCorrespondances TableCorrespondances::Depuis(
    std::map<std::string, Imputation, std::less<>> regles) {
    TableCorrespondances table;
    table.regles_ = std::move(regles);
    for (const auto& [prefixe, _] : table.regles_)
        table.longueurMax_ = std::max(table.longueurMax_, prefixe.size());
    return table;
}

const TableCorrespondances& TableCorrespondances::ParDefaut() {
    static const TableCorrespondances table = Lire(TexteParDefaut(), "correspondances-pcg.txt");
    return table;
}

const Imputation* TableCorrespondances::Chercher(std::string_view compte) const {
    for (size_t n = std::min(compte.size(), longueurMax_); n > 0; --n) {
        auto it = regles_.find(compte.substr(0, n));
        if (it != regles_.end()) return &it->second;
    }
    return nullptr;
}

}  // namespace qx::fec
