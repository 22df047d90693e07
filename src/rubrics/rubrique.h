// One box of a VAT form: its form and code, its typed value, its account
// and dependency lines. A change of a number rubric's value carries its
// signed difference, depth first, into the rubrics it feeds; once the
// engine's computation is finished every change marks the rubric forced.
// A propagation that comes back to a rubric already on its path raises 5
// ("Dépendance circulaire : ..."); a failed change, wherever it fails in the
// propagation, leaves every rubric as it was before the call.
// Single-threaded, like every object of the library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/value.h"
#include "platform/xml_document.h"
#include "rubrics/lignes.h"
#include "rubrics/rubric_engine.h"

namespace qx {

enum EnumRubriqueType : int32_t {
    EnumRubrType_Nombre = 0,
    EnumRubrType_Texte = 1,
    EnumRubrType_Date = 2,
};

// The most dependency steps one change may travel: each step takes stack.
// The parameter loader refuses longer chains before any amount flows.
inline constexpr int kEtapesPropagationMax = 1000;

struct CiblePropagation;

class CRubrique : public Object, public std::enable_shared_from_this<CRubrique> {
public:
    CRubrique();

    // The host interface, in slot order.
    std::shared_ptr<CLignesDependance> LignesDependance();
    std::shared_ptr<CLignesRubrique> LignesRubrique();
    const std::string& CodeImprime() const { return codeImprime_; }
    const std::string& CodeRubrique() const { return codeRubrique_; }
    Value Valeur() const;
    void SetValeur(const Value& v);
    Value ValeurInitiale() const { return valeurInitiale_; }
    int16_t Longueur() const { return longueur_; }
    const std::string& Condition() const { return condition_; }
    std::string KeyRubrique() const;
    double AsDouble() const {
        if (type_ != EnumRubrType_Nombre) return 0.0;
        return luValide_ ? lu_ : AsDoubleHorsBornes();
    }
    std::string AsString() const;
    std::string AsXML() const;
    void SetAsXML(std::string_view s);
    std::shared_ptr<RubricEngine> CalculTVA() const { return engine_.lock(); }
    void Arrondir(bool bGereDependance);
    bool IsForce() const { return isForce_; }
    void ForceValeur(const Value& aValeur);

private:
    // The library side (loader, engine, data pass): rubrics/rubrique_interne.h.
    friend struct RubriqueInterne;
    struct Journal;
    struct SurChemin;

    bool ChargerXML(std::string_view codeImprime, const XmlElement& element);
    void AjouterValeur(double montant);

    void Reinitialiser();
    // AsDouble of a number rubric whose 9-decimal value overflows: raises 6.
    [[noreturn]] double AsDoubleHorsBornes() const;
    bool calculTermine() const;
    // The number path of the setter for a change from outside, and for a
    // change that a propagation under way carries to the rubric.
    void ajouter(double montant);
    void affecterNombre(double v);
    void recevoir(double montant, Journal& journal);
    // Stores a number rubric's value and what AsDouble reads of it, and
    // returns the latter (meaningless when luValide_ is false). When v comes
    // from the 9-decimal rounding, entier is the whole number divided by 1e9
    // to give it; NaN otherwise.
    double stockerNombre(double v, double entier);
    bool sansDependance() const;
    void propager(double difference, Journal& journal);
    [[noreturn]] void leverCycle() const;
    static void annuler(Journal& journal);

    std::string codeImprime_;
    std::string codeRubrique_;
    EnumRubriqueType type_ = EnumRubrType_Texte;
    Value valeur_;  // text and date rubrics
    // A number rubric's value, kept as a double so that the hot path builds
    // no tagged value: the stored double, whether it is still the whole
    // number 0 of the load, and AsDouble of it (9 decimals of the clamped
    // value), computed once per change. lu_ is not valid when that rounding
    // overflows; AsDouble then raises the error as it would each time.
    double nombre_ = 0.0;
    double lu_ = 0.0;
    bool zeroEntier_ = false;
    bool luValide_ = true;
    Value valeurInitiale_;
    int16_t longueur_ = 0;
    std::string condition_;
    bool positif_ = false;  // condition_ is "POSITIF"
    bool isForce_ = false;
    std::shared_ptr<CLignesRubrique> lignesRubrique_;
    std::shared_ptr<CLignesDependance> lignesDependance_;
    std::weak_ptr<RubricEngine> engine_;    // never owning
    RubricEngine* engineDirect_ = nullptr;  // engine_ without the cost of a lock
    bool enPropagation_ = false;            // on the path of a propagation under way
    CRubrique* suivant_ = nullptr;          // next rubric on that path
    const std::vector<CiblePropagation>* plan_ = nullptr;
};

}  // namespace qx
