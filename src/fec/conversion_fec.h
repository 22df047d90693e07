// From a ledger export (FEC) to an accounting data file (DONNEESTVA): the
// balance (debit minus credit) of every account over the period, with the
// rate type and category the mapping gives it, one LIGNE per account.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fec/correspondances_fec.h"
#include "fec/fichier_donnees.h"
#include "fec/lecteur_fec.h"

namespace qx::fec {

struct PeriodeFEC {
    int32_t debut = 0;       // AAAAMMJJ, inclusive; 0: from the start
    int32_t fin = 99999999;  // inclusive
};

struct SoldeCompte {
    std::string compte;
    std::string libelle;
    Montant solde = 0;
    uint64_t premiereLigne = 0;              // where the account was first met
    const Imputation* imputation = nullptr;  // none: no rule covers the account
};

struct SyntheseFEC {
    std::vector<SoldeCompte> comptes;  // in account order
    uint64_t lignesLues = 0;
    uint64_t lignesRetenues = 0;  // inside the period
    // Accounts of classes 4 and 7 that no rule covers, in French, one a line.
    std::vector<std::string> avertissements;
};

// Reads the whole file once. `progression` (optional) gets the bytes read
// and the file's size now and then.
SyntheseFEC SynthetiserFEC(const std::string& cheminFEC, const TableCorrespondances& table,
                           const PeriodeFEC& periode,
                           const std::function<void(uint64_t, uint64_t)>& progression = {});

// Writes the data file: one LIGNE per account whose balance is not zero,
// with its rate type and category (empty for an account no rule covers).
void EcrireDonneesTVA(const SyntheseFEC& synthese, const EnteteDonnees& entete,
                      const std::string& chemin, const std::vector<std::string>& entrees = {});

}  // namespace qx::fec
