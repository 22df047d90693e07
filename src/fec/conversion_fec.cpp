#include "fec/conversion_fec.h"

#include <algorithm>
#include <unordered_map>

namespace qx::fec {

SyntheseFEC SynthetiserFEC(const std::string& cheminFEC, const TableCorrespondances& table,
                           const PeriodeFEC& periode,
                           const std::function<void(uint64_t, uint64_t)>& progression) {
    LecteurFEC lecteur(cheminFEC);
    SyntheseFEC synthese;
    // One entry per account: the map grows with the chart, not with the file.
    std::unordered_map<std::string, size_t> positions;
    std::string cle;
    LigneFEC ligne;
    while (lecteur.Suivante(ligne)) {
        ++synthese.lignesLues;
        if (progression && synthese.lignesLues % 65536 == 0)
            progression(lecteur.OctetsLus(), lecteur.Taille());
        if (ligne.date < periode.debut || ligne.date > periode.fin) continue;
        ++synthese.lignesRetenues;
        cle.assign(ligne.compte);
        auto [it, nouveau] = positions.try_emplace(cle, synthese.comptes.size());
        if (nouveau)
            synthese.comptes.push_back(
                {cle, std::string(ligne.libelleCompte), 0, lecteur.NumeroLigne(), nullptr});
        SoldeCompte& compte = synthese.comptes[it->second];
        compte.solde += ligne.debit - ligne.credit;
    }
    if (progression) progression(lecteur.OctetsLus(), lecteur.Taille());

    std::sort(synthese.comptes.begin(), synthese.comptes.end(),
              [](const SoldeCompte& a, const SoldeCompte& b) { return a.compte < b.compte; });
    for (SoldeCompte& compte : synthese.comptes) {
        compte.imputation = table.Chercher(compte.compte);
        const char classe = compte.compte.front();
        if (!compte.imputation && (classe == '4' || classe == '7'))
            synthese.avertissements.push_back(
                "compte " + compte.compte +
                (compte.libelle.empty() ? "" : " « " + compte.libelle + " »") + " (ligne " +
                std::to_string(compte.premiereLigne) + ") : classe " + classe +
                " sans correspondance, repris sans type de taux ni catégorie");
    }
    return synthese;
}

void EcrireDonneesTVA(const SyntheseFEC& synthese, const EnteteDonnees& entete,
                      const std::string& chemin, const std::vector<std::string>& entrees) {
    std::vector<LigneDonnees> lignes;
    for (const SoldeCompte& compte : synthese.comptes) {
        // A nil balance feeds nothing: it is left out.
        if (compte.solde == 0) continue;
        const Imputation* i = compte.imputation;
        lignes.push_back({compte.compte, MontantVersTexte(compte.solde), i ? i->typeTaux : "",
                          i ? i->categorie : ""});
    }
    EcrireFichierDonnees(lignes, entete, chemin, entrees);
}

}  // namespace qx::fec
