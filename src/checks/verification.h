// Checks of a parameter file and a data file as they are written, and of a
// computed return: what the computation would pass over in silence (a
// misspelt name, an amount read short, a dependency on no rubric, a total
// that does not add up). They only look: no result of the library changes.
// Every check runs on the calling thread and never raises; a file that
// cannot be read is itself a finding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class CCalculTVA;

enum class Gravite : uint8_t {
    Remarque,       // worth knowing, changes nothing (a rate type this ledger does not use)
    Avertissement,  // the return is computed, perhaps not as meant
    Erreur,         // the computation fails, or a figure is certainly wrong
};

struct Constat {
    std::string fichier;  // the path as given
    int ligne = 0;        // 0: the file as a whole
    Gravite gravite = Gravite::Avertissement;
    std::string message;  // French, naming the element, attribute and value
};

struct Verification {
    std::vector<Constat> constats;  // in file order, parameter file first

    int nombre(Gravite gravite) const;
    void ajouter(const std::string& fichier, int ligne, Gravite gravite, std::string message) {
        constats.push_back({fichier, ligne, gravite, std::move(message)});
    }
};

// "erreur", "avertissement", "remarque".
const char* TexteGravite(Gravite gravite);
// "FICHIER:LIGNE: gravité: message" (no line for the file as a whole).
std::string TexteConstat(const Constat& constat);

// The parameter file and, when its path is not empty, the data file it is
// computed with (the checks that need both run then). The declaration type
// and the instalments are those of the calling thread, as for Init.
Verification VerifierFichiers(const std::string& fichierRubriques,
                              const std::string& fichierDonnees);

// On an engine whose Init has run: totals that differ from the sum of their
// rounded parts, values longer than their box. Findings name the engine's
// parameter file.
void VerifierCalcul(const std::shared_ptr<CCalculTVA>& calcul, Verification& verification);

// Everything: the files, then the computation on an engine of its own
// (a failure of Init becomes an error finding), then VerifierCalcul.
Verification Verifier(const std::string& fichierDonnees, const std::string& fichierRubriques);

}  // namespace qx
