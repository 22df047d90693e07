// Who follows a computation step by step (qxtva explique): told at the end
// of each step, when the header's credit replaces a value, and when a
// coherence check finds a gap. The additions themselves are not reported:
// the data pass stays as fast with a follower as without one, and a
// follower works them out from the data file and the steps. None by default.
#pragma once

#include <string_view>

namespace qx {

class CCalculTVA;
class CRubrique;
class CRubriques;

class ObservateurCalcul {
public:
    enum class Etape {
        Chargement,      // parameter file loaded, every rubric at its initial value
        Lecture,         // data file read (amounts and credit added, propagated)
        Acomptes,        // CA12 instalments added
        PremierArrondi,  // rubrics with account lines rounded, differences propagated
        SecondArrondi,   // every number rubric rounded, nothing propagated
        Controles,       // coherence checks run
    };

    virtual ~ObservateurCalcul() = default;
    // Called on the computation's thread once the step is over.
    virtual void apres(Etape etape, const CCalculTVA& calcul, const CRubriques& rubriques) = 0;
    // The credit text has just replaced the rubric's value; avant is the
    // stored number before it.
    virtual void credit(const CRubrique& rubrique, std::string_view texte, double avant) = 0;
    // A check row whose tax differs from base x rate (the values as the
    // check read them); corrige when the tax rubric was forced to the
    // computed tax.
    virtual void controle(const CRubrique& base, double valeurBase, const CRubrique& taxe,
                          double valeurTaxe, double taux, double calcule, bool corrige) = 0;
};

}  // namespace qx
