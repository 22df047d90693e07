// The data pass: the accounting data file is scanned once; every "LIGNE"
// adds its amount into the rubrics whose account lines it matches, and
// "PARAMS" sets the VAT credit carried forward.
#include <array>
#include <utility>

#include "engine/calcul_tva.h"
#include "engine/correspondances.h"
#include "platform/locale.h"
#include "platform/thread_state.h"

namespace qx {

class CCalculTVA::Evenements : public XmlScanner::Handler {
public:
    explicit Evenements(CCalculTVA& moteur) : moteur_(moteur) {}
    void element(std::string_view nom, const XmlScanner& scanner) override {
        moteur_.TraiterElement(nom, scanner);
    }

private:
    CCalculTVA& moteur_;
};

void CCalculTVA::CalculerRubriques() {
    std::shared_ptr<CRubriques> rubriques = Rubriques();
    {
        XmlScanner scanDonnee;
        scanDonnee.setFichier(fichierDonnee_);
        scanDonnee.setProgression(progression_);
        IndexCorrespondances index(*rubriques);
        // The scan is synchronous: the separators cannot change before it
        // ends, so the amounts that need them do not each ask the locale.
        ScopedSeparatorCache separateurs;
        // The index serves this pass only: put back the previous one on every
        // way out (a host's progress handler could even start another Init).
        struct Restauration {
            IndexCorrespondances*& index;
            IndexCorrespondances* precedent;
            ~Restauration() { index = precedent; }
        } restauration{index_, std::exchange(index_, &index)};
        Evenements evenements(*this);
        scanDonnee.scanner(evenements);
    }

    AjouterAcomptes(*rubriques);

    const int32_t nombre = rubriques->Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        CRubrique& rubrique = *rubriques->at(i);
        if (rubrique.TypeRubrique() == EnumRubrType_Nombre &&
            rubrique.LignesRubrique()->Count() > 0)
            rubrique.Arrondir(true);
    }
    const int32_t nombreSecondePasse = rubriques->Count();
    for (int32_t i = 1; i <= nombreSecondePasse; ++i) {
        CRubrique& rubrique = *rubriques->at(i);
        if (rubrique.TypeRubrique() == EnumRubrType_Nombre) rubrique.Arrondir(false);
    }
    calculTermine_ = true;
}

void CCalculTVA::TraiterElement(std::string_view nom, const XmlScanner& scanner) {
    if (nom == "LIGNE")
        TraiterLigne(scanner);
    else if (nom == "PARAMS" || nom == "TRESORERIE" || nom == "TIERS")
        TraiterParams(nom, scanner);
}

void CCalculTVA::TraiterParams(std::string_view nom, const XmlScanner& scanner) {
    if (nom != "PARAMS") return;
    const std::string& type = TypeDeclarationCourant();
    const char* cle;
    if (type == "CA3")
        cle = "CA3HD";
    else if (type == "CA12" || type == "CA12E")
        cle = "CA12KA";
    else
        return;
    std::shared_ptr<CRubrique> credit = Rubriques()->Item(Value(cle));
    if (!credit)
        throw Error(err::ObjetNonDefini, std::string("La rubrique de crédit de TVA '") + cle +
                                             "' est absente du paramétrage : le crédit reporté "
                                             "ne peut pas être repris");
    // Set, not added: the credit replaces what earlier lines put there.
    credit->SetAsXML(scanner.attribut("CREDITTVA"));
}

void CCalculTVA::TraiterLigne(const XmlScanner& scanner) {
    index_->Cumuler(scanner.attribut("COMPTE"), scanner.attribut("TYPETAUX"),
                    scanner.attribut("CATEGORIEAV"), scanner.attribut("MONTANT"));
}

void AjouterAcomptes(const CRubriques& rubriques) {
    struct Rubriques {
        const char* paye;
        const char* restant;
    };
    static constexpr std::array<Rubriques, 5> kRubriques{
        {{nullptr, nullptr}, {"MD", "ME"}, {"MF", "MG"}, {"MH", "MJ"}, {"MK", "ML"}}};
    const TableAcomptes& acomptes = Acomptes();
    for (size_t numero = 1; numero <= 4; ++numero) {
        AjouterMontantRubrique(rubriques, "CA12", kRubriques[numero].paye, acomptes[numero].MtPaye);
        AjouterMontantRubrique(rubriques, "CA12", kRubriques[numero].restant,
                               acomptes[numero].MtRestant);
    }
}

bool AjouterMontantRubrique(const CRubriques& rubriques, std::string_view codeImprime,
                            std::string_view codeRubrique, double montant) {
    bool trouve = false;
    const int32_t nombre = rubriques.Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        CRubrique& rubrique = *rubriques.at(i);
        if (rubrique.CodeImprime() == codeImprime && rubrique.CodeRubrique() == codeRubrique) {
            rubrique.AjouterValeur(montant);
            trouve = true;
        }
    }
    return trouve;
}

}  // namespace qx
