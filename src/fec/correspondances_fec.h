// The account mapping: which VAT rate type and category each account of the
// ledger carries, since the FEC has no VAT columns. A text file, one rule a
// line, fields separated by ";":
//
//     PREFIXE;TYPETAUX;CATEGORIEAV[;LIBELLE]
//
// An account takes the rule of the longest prefix that starts it. Blank
// lines and lines starting with "#" are ignored; blanks around fields are
// dropped; TYPETAUX and CATEGORIEAV may be empty (an account without VAT).
// The bundled default covers the French chart (correspondances-pcg.txt).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qx::fec {

struct Imputation {
    std::string typeTaux;
    std::string categorie;
    std::string libelle;
};

class TableCorrespondances {
public:
    // Raises 53 for a missing file, err::ErrFEC_Correspondances for a line it
    // cannot read (the description names the file and the line).
    static TableCorrespondances Charger(const std::string& chemin);
    // The same from a text; `nom` stands for the file in messages.
    static TableCorrespondances Lire(std::string_view texte, std::string_view nom);
    // The bundled mapping for the French chart.
    static const TableCorrespondances& ParDefaut();
    static std::string_view TexteParDefaut();

    // The rule of the longest prefix of the account, or none.
    const Imputation* Chercher(std::string_view compte) const;
    size_t Taille() const { return regles_.size(); }

private:
    static TableCorrespondances Depuis(std::map<std::string, Imputation, std::less<>> regles);

    std::map<std::string, Imputation, std::less<>> regles_;
    size_t longueurMax_ = 0;
};

}  // namespace qx::fec
