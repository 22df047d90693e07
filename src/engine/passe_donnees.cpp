// The data pass: the accounting data file is scanned once; every "LIGNE"
// adds its amount into the rubrics whose account lines it matches, and
// "PARAMS" sets the VAT credit carried forward.
#include <array>
#include <utility>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/correspondances.h"
#include "engine/declaration_courante.h"
#include "engine/observateur_calcul.h"
#include "engine/plans_propagation.h"
#include "engine/types_declaration.h"
#include "platform/locale.h"
#include "platform/ordered_worker.h"
#include "rubrics/rubrique_interne.h"

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

// One data pass: which account lines a data line matches is decided while
// the file is read; the additions, with their propagation through the
// dependencies, are made in the same order by a worker, so that reading
// and arithmetic overlap. Whatever reads or sets a rubric during the pass
// (the credit of the header, the host's progress display) first waits for
// the additions given so far.
struct CCalculTVA::Passe {
    struct Cumul {
        CRubrique* rubrique;  // kept alive by the index
        double montant;
    };
    struct Ajout {
        void operator()(const Cumul& c) const {
            RubriqueInterne::AjouterValeur(*c.rubrique, c.montant);
        }
    };

    Passe(const CRubriques& rubriques, bool surFilAppelant)
        : index(rubriques), plans(rubriques), cumuls(Ajout{}, surFilAppelant) {}

    IndexCorrespondances index;
    PlansPropagation plans;
    OrderedWorker<Cumul, Ajout> cumuls;  // declared last: stops before the rest goes
};

void CCalculTVA::CalculerRubriques() {
    std::shared_ptr<CRubriques> rubriques = Rubriques();
    {
        Passe passe(*rubriques, passeSurFilAppelant_);
        XmlScanner scanDonnee;
        scanDonnee.setFichier(fichierDonnee_);
        if (progression_)
            scanDonnee.setProgression(
                [&passe, progression = progression_](uint64_t lus, uint64_t total) {
                    passe.cumuls.drain();
                    progression(lus, total);
                });
        // The scan is synchronous: the separators cannot change before it
        // ends, so the amounts that need them do not each ask the locale.
        ScopedSeparatorCache separateurs;
        // This pass's state serves it only: put back the previous one on every
        // way out (a host's progress handler could even start another Init).
        struct Restauration {
            Passe*& passe;
            Passe* precedente;
            ~Restauration() { passe = precedente; }
        } restauration{passe_, std::exchange(passe_, &passe)};
        Evenements evenements(*this);
        try {
            scanDonnee.scanner(evenements);
        } catch (...) {
            // An addition that failed came from an earlier line than what
            // stopped the reading: its error is the one to report.
            passe.cumuls.drain();
            throw;
        }
        passe.cumuls.drain();
    }
    using Etape = ObservateurCalcul::Etape;
    if (observateur_) observateur_->apres(Etape::Lecture, *this, *rubriques);

    AjouterAcomptes(*rubriques);
    if (observateur_) observateur_->apres(Etape::Acomptes, *this, *rubriques);

    const int32_t nombre = rubriques->Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        CRubrique& rubrique = *CalculInterne::Rubrique(*rubriques, i);
        if (RubriqueInterne::TypeRubrique(rubrique) == EnumRubrType_Nombre &&
            rubrique.LignesRubrique()->Count() > 0)
            rubrique.Arrondir(true);
    }
    if (observateur_) observateur_->apres(Etape::PremierArrondi, *this, *rubriques);
    const int32_t nombreSecondePasse = rubriques->Count();
    for (int32_t i = 1; i <= nombreSecondePasse; ++i) {
        CRubrique& rubrique = *CalculInterne::Rubrique(*rubriques, i);
        if (RubriqueInterne::TypeRubrique(rubrique) == EnumRubrType_Nombre)
            rubrique.Arrondir(false);
    }
    if (observateur_) observateur_->apres(Etape::SecondArrondi, *this, *rubriques);
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
    const char* cle = RubriqueCreditReporte(TypeDeclarationCourant());
    if (!cle) return;
    std::shared_ptr<CRubrique> credit = Rubriques()->Item(Value(cle));
    if (!credit)
        throw Error(err::ObjetNonDefini, std::string("La rubrique de crédit de TVA '") + cle +
                                             "' est absente du paramétrage : le crédit reporté "
                                             "ne peut pas être repris");
    // Set, not added: the credit replaces what earlier lines put there.
    passe_->cumuls.drain();
    const double avant = observateur_ ? credit->Valeur().toDouble() : 0;
    credit->SetAsXML(scanner.attribut("CREDITTVA"));
    if (observateur_) observateur_->credit(*credit, scanner.attribut("CREDITTVA"), avant);
}

void CCalculTVA::TraiterLigne(const XmlScanner& scanner) {
    passe_->index.PourChaqueCumul(scanner.attribut("COMPTE"), scanner.attribut("TYPETAUX"),
                                  scanner.attribut("CATEGORIEAV"), scanner.attribut("MONTANT"),
                                  [this](CRubrique& rubrique, double montant) {
                                      passe_->cumuls.push({&rubrique, montant});
                                  });
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
        CRubrique& rubrique = *CalculInterne::Rubrique(rubriques, i);
        if (rubrique.CodeImprime() == codeImprime && rubrique.CodeRubrique() == codeRubrique) {
            RubriqueInterne::AjouterValeur(rubrique, montant);
            trouve = true;
        }
    }
    return trouve;
}

}  // namespace qx
