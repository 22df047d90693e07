// A computed return, as it stands: totals that differ from the sum of their
// rounded parts, values longer than their box. Nothing is changed.
#include <cmath>

#include "checks/verification_modele.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/error.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

// Rubrics whose value does not come from their dependencies alone.
bool AlimenteeAutrement(CRubrique& r) {
    if (r.LignesRubrique()->Count() > 0) return true;
    const std::string cle = r.KeyRubrique();
    if (const char* credit = RubriqueCreditReporte(TypeDeclarationCourant());
        credit && cle == credit)
        return true;
    static const char* const kAcomptes[] = {"MD", "ME", "MF", "MG", "MH", "MJ", "MK", "ML"};
    if (r.CodeImprime() == "CA12")
        for (const char* code : kAcomptes)
            if (r.CodeRubrique() == code) return true;
    return false;
}

size_t Caracteres(std::string_view texte) {
    size_t n = 0;
    for (char c : texte) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

void VerifierCalcul(const std::shared_ptr<CCalculTVA>& calcul, Verification& verification) {
    const std::string& fichier = CalculInterne::FichierRubriqueTVA(*calcul);
    // The lines of the rubrics, from the file as written.
    Verification ignoree;
    const verif::Parametrage parametrage = verif::LireParametrage(fichier, ignoree);
    auto ligneDe = [&](const CRubrique& r) {
        const verif::Rubrique* lue = parametrage.trouver(r.KeyRubrique());
        return lue ? lue->ligne : 0;
    };

    const std::vector<std::shared_ptr<CRubrique>> rubriques = calcul->Rubriques()->NewEnum();
    for (const std::shared_ptr<CRubrique>& total : rubriques) {
        if (RubriqueInterne::TypeRubrique(*total) != EnumRubrType_Nombre ||
            AlimenteeAutrement(*total))
            continue;
        double attendu = 0;
        std::string detail;
        for (const std::shared_ptr<CRubrique>& part : rubriques) {
            if (RubriqueInterne::TypeRubrique(*part) != EnumRubrType_Nombre) continue;
            for (const auto& ligne : part->LignesDependance()->NewEnum()) {
                if (ligne->RubriqueDep() != total) continue;
                const double valeur = part->AsDouble();
                attendu += ligne->Sens * valeur;
                detail += detail.empty() ? (ligne->Sens < 0 ? "− " : "")
                                         : (ligne->Sens < 0 ? " − " : " + ");
                detail += part->KeyRubrique() + " (" + verif::NombreFrancais(valeur) + ")";
            }
        }
        if (detail.empty()) continue;
        if (attendu < 0 && total->Condition() == "POSITIF") attendu = 0;
        const double valeur = total->AsDouble();
        if (std::fabs(valeur - attendu) <= 1e-6) continue;
        verification.ajouter(fichier, ligneDe(*total), Gravite::Avertissement,
                             total->KeyRubrique() + " vaut " + verif::NombreFrancais(valeur) +
                                 " alors que " + detail + " = " + verif::NombreFrancais(attendu) +
                                 " : l'arrondi des parts après leur report laisse un écart de " +
                                 verif::NombreFrancais(std::fabs(valeur - attendu)) +
                                 ", que le calcul ne corrige pas");
    }
    for (const std::shared_ptr<CRubrique>& r : rubriques) {
        std::string texte;
        try {
            texte = r->AsXML();
        } catch (const Error&) {
            continue;  // a date rubric holding no date: nothing to measure
        }
        if (static_cast<long>(Caracteres(texte)) <= r->Longueur()) continue;
        verification.ajouter(fichier, ligneDe(*r), Gravite::Avertissement,
                             "la valeur « " + texte + " » de " + r->KeyRubrique() + " a " +
                                 std::to_string(Caracteres(texte)) +
                                 " caractères pour une LONGUEUR de " +
                                 std::to_string(r->Longueur()));
    }
}

}  // namespace qx
