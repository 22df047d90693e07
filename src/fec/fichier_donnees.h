// Writes an accounting data file (root DONNEESTVA) from ledger lines held in
// memory: PARAMS with the credit carried forward and the period when given,
// then one LIGNE per line under DONNEES.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qx::fec {

struct LigneDonnees {
    std::string compte;
    std::string montant;  // as the data file holds it: debit minus credit, "." decimals
    std::string typeTaux;
    std::string categorie;
};

struct EnteteDonnees {
    std::optional<std::string> creditTVA;  // the credit carried forward, as given
    std::string dateDebut, dateFin;        // AAAA-MM-JJ, or empty
};

// Written safely; raises 75 with the path and the reason when the file
// cannot be written or is one of `entrees` (the files it is made from).
void EcrireFichierDonnees(const std::vector<LigneDonnees>& lignes, const EnteteDonnees& entete,
                          const std::string& chemin, const std::vector<std::string>& entrees = {});

}  // namespace qx::fec
