#include "rubrics/rubrique.h"

#include <cctype>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/error.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

// No form holds a dependency chain this long; the limit keeps a hand-built
// chain from exhausting the stack (about half a kilobyte a step, well within
// the 1 MB of a host's thread).
constexpr int kProfondeurMax = kEtapesPropagationMax;

std::string majuscules(std::string texte) {
    for (char& c : texte) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return texte;
}

}  // namespace

// The changes made by one propagation, so that a failure anywhere in it
// (a cycle, an overflow) puts every rubric back as it was before the call.
struct CRubrique::Journal {
    // Only number rubrics take part in a propagation: their value is a double.
    struct Changement {
        CRubrique* rubrique;  // alive: nothing releases a rubric during a propagation
        double nombre;
        double lu;
        bool zeroEntier;
        bool luValide;
        bool force;
    };
    std::vector<Changement> changements;
    int profondeur = 0;
    bool occupe = false;
    // The engine's flag, read once per change from outside: nothing that
    // runs during a propagation can finish the computation.
    bool termine = false;

    void noter(CRubrique& r) {
        changements.push_back({&r, r.nombre_, r.lu_, r.zeroEntier_, r.luValide_, r.isForce_});
    }
};

// Marks a rubric as on the propagation path for the time of its loop, and
// clears the mark whichever way the loop ends.
struct CRubrique::SurChemin {
    SurChemin(CRubrique& r, Journal& j) : rubrique(r), journal(j) {
        rubrique.enPropagation_ = true;
        ++journal.profondeur;
    }
    ~SurChemin() {
        rubrique.enPropagation_ = false;
        --journal.profondeur;
    }
    SurChemin(const SurChemin&) = delete;
    SurChemin& operator=(const SurChemin&) = delete;

    CRubrique& rubrique;
    Journal& journal;
};

CRubrique::CRubrique() = default;

void CRubrique::Reinitialiser() {
    codeImprime_.clear();
    codeRubrique_.clear();
    type_ = EnumRubrType_Texte;
    valeur_ = Value();
    nombre_ = 0.0;
    lu_ = 0.0;
    zeroEntier_ = false;
    luValide_ = true;
    longueur_ = 0;
    condition_.clear();
    positif_ = false;
    isForce_ = false;
    lignesRubrique_.reset();
    lignesDependance_.reset();
}

std::shared_ptr<CLignesDependance> CRubrique::LignesDependance() {
    if (!lignesDependance_) lignesDependance_ = std::make_shared<CLignesDependance>();
    return lignesDependance_;
}

std::shared_ptr<CLignesRubrique> CRubrique::LignesRubrique() {
    if (!lignesRubrique_) lignesRubrique_ = std::make_shared<CLignesRubrique>();
    return lignesRubrique_;
}

std::string CRubrique::KeyRubrique() const {
    return CleRubrique(codeImprime_, codeRubrique_);
}

bool CRubrique::calculTermine() const {
    // Objects live on one thread: an engine that has not expired cannot go
    // away during the call, so the plain pointer spares a lock per change.
    // Without an engine the computation counts as not finished.
    return engineDirect_ && !engine_.expired() && engineDirect_->CalculTermine();
}

bool CRubrique::ChargerXML(std::string_view codeImprime, const XmlElement& element) {
    Reinitialiser();
    if (!element) return false;
    codeImprime_ = std::string(codeImprime);
    codeRubrique_ = LireAttribut(element, "CODE", "");
    const std::string type = majuscules(LireAttribut(element, "TYPE", ""));
    if (type == "T") {
        type_ = EnumRubrType_Texte;
        valeur_ = Value(std::string());
        longueur_ = 40;
    } else if (type == "D") {
        type_ = EnumRubrType_Date;
        valeur_ = Value(datePart(aujourdhui()));
        longueur_ = 10;
    } else {
        type_ = EnumRubrType_Nombre;
        zeroEntier_ = true;  // nombre_ and lu_ are 0 after the reset
        longueur_ = 9;
    }
    condition_ = LireAttribut(element, "CONDITION", "");
    positif_ = condition_ == "POSITIF";
    const std::string longueur = LireAttribut(element, "LONGUEUR", "-1");
    if (longueur != "-1") longueur_ = Value(longueur).toInt16();
    RubriqueInterne::ChargerLignes(*LignesRubrique(), element);
    RubriqueInterne::ChargerLignes(*LignesDependance(), element);
    return true;
}

Value CRubrique::Valeur() const {
    if (type_ != EnumRubrType_Nombre) return valeur_;
    return zeroEntier_ ? Value(int16_t{0}) : Value(nombre_);
}

inline double CRubrique::stockerNombre(double v, double entier) {
    nombre_ = v;
    zeroEntier_ = false;
    const double borne = v < 0.0 && positif_ ? 0.0 : v;
    // v is entier / 1e9: when v * 1e9 gives entier back, rounding v again is
    // the same division of the same whole number, so it gives v. That spares
    // the second division of almost every change, the slowest step on the
    // chain of a propagation.
    if (borne == v && v * 1e9 == entier) {
        lu_ = v;
        luValide_ = true;
        return v;
    }
    luValide_ = std::isfinite(borne * 1e9);
    if (luValide_) lu_ = ArrondiDecimales(borne);
    return lu_;
}

double CRubrique::AsDoubleHorsBornes() const {
    // luValide_ is false exactly when the rounding of the value overflowed.
    detail::leverDepassement();
}

std::string CRubrique::AsString() const {
    switch (type_) {
        case EnumRubrType_Nombre:
            return NombreVersTexte(AsDouble());
        case EnumRubrType_Texte:
            return valeur_.toText();
        case EnumRubrType_Date:
            break;
    }
    std::optional<Date> date;
    if (valeur_.kind() == ValueKind::Date)
        date = valeur_.dateValue();
    else if (valeur_.kind() == ValueKind::Text)
        date = parseDateText(valeur_.text());
    // The three-letter year of the display pattern is ambiguous; the full
    // year of the French short date is what a host shows its users.
    return date ? shortDateText(*date) : std::string();
}

std::string CRubrique::AsXML() const {
    if (type_ != EnumRubrType_Date) return AsString();
    return DateVersTexte(Value(valeur_.toDate()));
}

void CRubrique::SetAsXML(std::string_view s) {
    switch (type_) {
        case EnumRubrType_Nombre:
            SetValeur(Value(TexteVersNombre(s)));
            break;
        case EnumRubrType_Texte:
            SetValeur(Value(s));
            break;
        case EnumRubrType_Date:
            SetValeur(Value(TexteVersDate(s)));
            break;
    }
}

void CRubrique::SetValeur(const Value& v) {
    if (type_ == EnumRubrType_Nombre) {
        if (v == Valeur()) return;
        affecterNombre(v.toDouble());
        return;
    }
    if (v == valeur_) return;
    valeur_ = v;
    if (calculTermine()) isForce_ = true;
}

void CRubrique::AjouterValeur(double montant) {
    if (type_ == EnumRubrType_Nombre) ajouter(montant);
}

void CRubrique::ajouter(double montant) {
    // The stored value raw (neither clamped nor rounded) plus the amount,
    // then the setter's equality test: the whole number 0 of the load
    // compares by its numeric value, as any double.
    const double somme = nombre_ + montant;
    if (nombre_ == somme) return;
    affecterNombre(somme);
}

void CRubrique::recevoir(double montant, Journal& journal) {
    // ajouter and affecterNombre for a change carried by a propagation:
    // the hottest path of a computation, kept apart from the opening of
    // the journal so that it stays lean.
    const double somme = nombre_ + montant;
    if (nombre_ == somme) return;
    const double ancien = AsDouble();
    // ArrondiDecimales(somme), keeping the whole number it divides.
    const double entier = ArrondiEntier(somme * 1e9);
    const double nouveau = entier / 1e9;
    journal.noter(*this);
    const double lu = stockerNombre(nouveau, entier);
    if (journal.termine) isForce_ = true;
    if (sansDependance()) return;
    const double difference = (luValide_ ? lu : AsDouble()) - ancien;  // AsDouble raises
    if (difference != 0.0) propager(difference, journal);
}

void CRubrique::affecterNombre(double v) {
    const double ancien = AsDouble();
    const double entier = ArrondiEntier(v * 1e9);
    const double nouveau = entier / 1e9;
    const bool termine = calculTermine();
    if (sansDependance()) {
        stockerNombre(nouveau, entier);
        if (termine) isForce_ = true;
        return;
    }
    // The first change of a propagation opens the journal: one per thread,
    // reused so that the hot path allocates nothing once it has grown.
    static thread_local Journal journalDuThread;
    Journal local;
    Journal& j = journalDuThread.occupe ? local : journalDuThread;
    j.changements.clear();
    j.noter(*this);
    const double lu = stockerNombre(nouveau, entier);
    if (termine) isForce_ = true;
    const double difference = (luValide_ ? lu : AsDouble()) - ancien;  // AsDouble raises
    if (difference == 0.0) return;
    j.occupe = true;
    j.termine = termine;
    try {
        propager(difference, j);
    } catch (...) {
        annuler(j);
        j.changements.clear();
        j.occupe = false;
        throw;
    }
    j.changements.clear();
    j.occupe = false;
}

inline bool CRubrique::sansDependance() const {
    if (plan_) return plan_->empty();
    return !lignesDependance_ || lignesDependance_->Count() == 0;
}

inline void CRubrique::propager(double difference, Journal& journal) {
    if (enPropagation_) leverCycle();
    if (journal.profondeur >= kProfondeurMax) throw Error::runtime(err::EspacePile);
    SurChemin surChemin(*this, journal);
    if (plan_) {
        for (const CiblePropagation& c : *plan_) {
            suivant_ = c.cible;
            c.cible->recevoir(c.sens * difference, journal);
        }
        return;
    }
    CLignesDependance& lignes = *lignesDependance_;
    const int32_t nombre = lignes.Count();
    for (int32_t i = 1; i <= nombre && i <= lignes.Count(); ++i) {
        const CLigneDependance& ligne = *RubriqueInterne::Ligne(lignes, i);
        CRubrique* cible = RubriqueInterne::CibleDirecte(ligne);
        if (!cible) continue;
        suivant_ = cible;
        if (cible->type_ == EnumRubrType_Nombre)
            cible->recevoir(static_cast<double>(ligne.Sens) * difference, journal);
    }
}

void CRubrique::leverCycle() const {
    std::string chemin;
    const CRubrique* r = this;
    int pas = 0;
    do {
        chemin += r->KeyRubrique();
        chemin += " -> ";
        r = r->suivant_;
    } while (r && r != this && ++pas <= kProfondeurMax);
    chemin += KeyRubrique();
    throw Error(err::AppelIncorrect, "Dépendance circulaire : " + chemin);
}

void CRubrique::annuler(Journal& journal) {
    for (auto it = journal.changements.rbegin(); it != journal.changements.rend(); ++it) {
        CRubrique& r = *it->rubrique;
        r.nombre_ = it->nombre;
        r.lu_ = it->lu;
        r.zeroEntier_ = it->zeroEntier;
        r.luValide_ = it->luValide;
        r.isForce_ = it->force;
    }
}

void CRubrique::Arrondir(bool bGereDependance) {
    if (type_ != EnumRubrType_Nombre) return;
    // VersDouble of the stored number is the number itself.
    const double arrondi = ArrondiEntier(nombre_);
    if (bGereDependance) {
        if (arrondi != nombre_) affecterNombre(arrondi);
    } else {
        stockerNombre(arrondi, std::nan(""));
    }
}

void CRubrique::ForceValeur(const Value& aValeur) {
    if (!isForce_) valeurInitiale_ = Valeur();
    SetValeur(aValeur);
    isForce_ = true;
}

}  // namespace qx
