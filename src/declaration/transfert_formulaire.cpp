// Copy of the computed rubrics of one form into the product's declaration,
// with the nothing-to-declare box and the instalment boxes.
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/date.h"

namespace qx {
namespace {

// The forms the copy knows, with the product's type code of each: the
// variants "CA12E" and "CA12A" have no form of their own to copy.
std::optional<int16_t> typeFormulaire(std::string_view nom) {
    if (nom == "CA12E" || nom == "CA12A") return std::nullopt;
    return CodeFormulaire(nom);
}

size_t nombreCaracteres(std::string_view texte) {
    size_t n = 0;
    for (unsigned char c : texte)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool chiffres(std::string_view s, size_t& pos) {
    size_t debut = pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    return pos > debut;
}

// The number an exchange text denotes. Exchange texts write numbers with
// "." whatever the user's settings, so the test does not follow the
// locale: a sign, digits, optionally "." and digits, optionally an
// exponent. Anything else (dates, free texts, "1 234,5") stays a text.
std::optional<double> nombreEchange(std::string_view s) {
    size_t pos = 0;
    if (pos < s.size() && s[pos] == '-') ++pos;
    bool entier = chiffres(s, pos);
    bool decimales = false;
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        decimales = chiffres(s, pos);
    }
    if (!entier && !decimales) return std::nullopt;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
        ++pos;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
        if (!chiffres(s, pos)) return std::nullopt;
    }
    if (pos != s.size()) return std::nullopt;
    double valeur = 0;
    auto [fin, erreur] = std::from_chars(s.data(), s.data() + s.size(), valeur);
    if (erreur != std::errc() || fin != s.data() + s.size()) return std::nullopt;
    return valeur;
}

// Month from which an instalment belongs to the year of the period end.
constexpr std::array<int, 5> kMoisSeuil = {0, 4, 7, 10, 12};

}  // namespace

void Cls_DeclarationTVA::Transferer_Formulaire(CCalculTVA& calcul, DeclarationEdi& declaration,
                                               const std::string& nomFormulaire) {
    std::optional<int16_t> type = typeFormulaire(nomFormulaire);
    if (!type) return;

    std::shared_ptr<CRubriques> rubriques = calcul.Rubriques();
    const int32_t nombre = rubriques ? rubriques->Count() : 0;
    bool vide = true;
    std::shared_ptr<FormulaireEdi> formulaire;
    for (int32_t position = 1; position <= nombre; ++position) {
        std::shared_ptr<CRubrique> rubrique = rubriques->Item(Value(position));
        if (!rubrique || nombreCaracteres(rubrique->CodeRubrique()) != 2 ||
            rubrique->CodeImprime() != nomFormulaire)
            continue;
        if (!formulaire) formulaire = declaration.FormulairesEdi()->Formulaire(*type);
        const std::string texte = rubrique->AsXML();
        bool affectee;
        if (std::optional<double> valeur = nombreEchange(texte))
            affectee = Affecter_Rubrique(*formulaire, rubrique->CodeRubrique(), {}, *valeur);
        else
            affectee = Affecter_Rubrique(*formulaire, rubrique->CodeRubrique(), texte, 0.0);
        if (affectee) vide = false;
    }

    Transferer_Acomptes(formulaire);

    // Instalment boxes alone still leave the form to be declared as empty.
    if (formulaire && vide) {
        const int32_t typeObtenu = formulaire->FormType();
        if (typeObtenu == 0)
            Affecter_Rubrique(*formulaire, "KF", "X", 0.0);
        else if (typeObtenu == 4 || typeObtenu == 5)
            Affecter_Rubrique(*formulaire, "SD", "X", 0.0);
    }
}

bool Cls_DeclarationTVA::Affecter_Rubrique(FormulaireEdi& formulaire, const std::string& code,
                                           const std::string& texte, double nombre) {
    if (texte.empty() && nombre == 0.0) return false;
    std::shared_ptr<RubriqueEdi> rubrique;
    try {
        rubrique = formulaire.RubriquesEdi()->Rubrique(code);
    } catch (...) {
        // A box the product's form lacks is skipped without a word.
        Error::rethrowIfOutOfMemory();
        rubrique = nullptr;
    }
    if (!rubrique) return false;
    try {
        rubrique->SetTexte(texte);
        rubrique->SetValeur(nombre);
        return true;
    } catch (...) {
        Error::rethrowIfOutOfMemory();
        return false;
    }
}

void Cls_DeclarationTVA::Transferer_Acomptes(const std::shared_ptr<FormulaireEdi>& formulaire) {
    if (!formulaire) return;
    const int32_t type = formulaire->FormType();
    if (!UtiliseFormulaireCA12(NomDuCodeFormulaire(type))) return;
    std::optional<Date> fin = parseDateText(dateFin_);
    if (!fin) return;
    const CivilDate jourFin = toCivil(*fin);

    static constexpr std::array<char, 5> kLettre = {' ', 'A', 'B', 'C', 'D'};
    const TableAcomptes& acomptes = Acomptes();
    for (size_t numero = 1; numero <= 4; ++numero) {
        if (!(acomptes[numero].MtPaye > 0.0)) continue;
        const int annee = jourFin.month >= kMoisSeuil[numero] ? jourFin.year : jourFin.year - 1;
        Affecter_Rubrique(*formulaire, std::string{'T', kLettre[numero]}, "X", 0.0);
        Affecter_Rubrique(*formulaire, std::string{'U', kLettre[numero]}, {},
                          static_cast<double>(annee));
    }
}

}  // namespace qx
