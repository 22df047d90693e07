#include "rubrics/lignes.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

// Only the exact text "-1" gives -1: " -1", "-01" or "-2" give +1.
int16_t signe(const XmlElement& element, std::string_view nom) {
    return LireAttribut(element, nom, "1") == "-1" ? int16_t{-1} : int16_t{1};
}

}  // namespace

std::string LireAttribut(const XmlElement& element, std::string_view nom, std::string_view defaut) {
    try {
        if (auto texte = element.attribute(nom)) return std::move(*texte);
    } catch (const std::exception&) {
        // A failure while reading counts as an absent attribute.
    }
    return std::string(defaut);
}

void CLignesRubrique::ChargerLignes(const XmlElement& rubrique) {
    for (const XmlElement& element : rubrique.children("LIGNE")) {
        auto ligne = std::make_shared<CLigneRubrique>();
        ligne->Compte = LireAttribut(element, "COMPTE", "");
        ligne->TypeTaux = LireAttribut(element, "TYPETAUX", "");
        ligne->CategorieAV = LireAttribut(element, "CATEGORIEAV", "");
        ligne->TypeCumul = signe(element, "TYPECUMUL");
        ligne->Sens = signe(element, "SENS");
        RubriqueInterne::Ajouter(*this, std::move(ligne));
    }
}

void CLignesDependance::ChargerLignes(const XmlElement& rubrique) {
    for (const XmlElement& element : rubrique.children("DEPENDANCE")) {
        auto ligne = std::make_shared<CLigneDependance>();
        ligne->CodeImprime = LireAttribut(element, "CODEIMPRIME", "");
        ligne->CodeRubrique = LireAttribut(element, "CODERUBRIQUE", "");
        ligne->Sens = signe(element, "SENS");
        RubriqueInterne::Ajouter(*this, std::move(ligne));
    }
}

}  // namespace qx
