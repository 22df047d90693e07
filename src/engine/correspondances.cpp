#include "engine/correspondances.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rubrics/conventions.h"

namespace qx {
namespace {

void AjouterMontant(CRubrique& rubrique, double montant, int16_t typeCumul) {
    const double magnitude = std::fabs(montant);
    rubrique.AjouterValeur(typeCumul == -1 ? -magnitude : magnitude);
}

void AjouterTaille(std::string& cle, size_t taille) {
    char octets[sizeof taille];
    std::memcpy(octets, &taille, sizeof taille);
    cle.append(octets, sizeof taille);
}

}  // namespace

bool Correspond(std::string_view compteLigne, std::string_view typeTauxLigne,
                std::string_view categorieLigne, std::string_view compte, std::string_view typeTaux,
                std::string_view categorie) {
    const bool categorieOk = categorieLigne == "9" || categorie == categorieLigne;
    // An account shorter than the line's Compte never matches; an empty Compte matches all.
    const bool compteOk = compte.substr(0, compteLigne.size()) == compteLigne;
    const bool tauxOk = typeTauxLigne == "9" || typeTaux == typeTauxLigne;
    return categorieOk && compteOk && tauxOk;
}

bool LigneCorrespond(const CLigneRubrique& ligne, std::string_view compte,
                     std::string_view typeTaux, std::string_view categorie) {
    return Correspond(ligne.Compte, ligne.TypeTaux, ligne.CategorieAV, compte, typeTaux, categorie);
}

void CumulerLigneDirect(const CRubriques& rubriques, std::string_view compte,
                        std::string_view typeTaux, std::string_view categorie,
                        std::string_view montantTexte) {
    const int32_t nombre = rubriques.Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        CRubrique& rubrique = *rubriques.at(i);
        std::shared_ptr<CLignesRubrique> lignes = rubrique.LignesRubrique();
        const int32_t nombreLignes = lignes->Count();
        for (int32_t j = 1; j <= nombreLignes; ++j) {
            const CLigneRubrique& ligne = *lignes->at(j);
            if (!LigneCorrespond(ligne, compte, typeTaux, categorie)) continue;
            if (rubrique.TypeRubrique() != EnumRubrType_Nombre) continue;
            const double montant = TexteVersNombre(montantTexte);
            if (!MontantRetenu(montant, ligne.Sens)) continue;
            AjouterMontant(rubrique, montant, ligne.TypeCumul);
        }
    }
}

IndexCorrespondances::IndexCorrespondances(const CRubriques& rubriques) {
    const int32_t nombre = rubriques.Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        const std::shared_ptr<CRubrique>& rubrique = rubriques.at(i);
        // Text and date rubrics never receive amounts: their lines can never add.
        if (rubrique->TypeRubrique() != EnumRubrType_Nombre) continue;
        std::shared_ptr<CLignesRubrique> lignes = rubrique->LignesRubrique();
        const int32_t nombreLignes = lignes->Count();
        if (nombreLignes > 0) rubriques_.push_back(rubrique);
        for (int32_t j = 1; j <= nombreLignes; ++j) {
            const CLigneRubrique& ligne = *lignes->at(j);
            const auto position = static_cast<uint32_t>(lignes_.size());
            lignes_.push_back(
                {{rubrique.get(), ligne.TypeCumul, ligne.Sens}, ligne.TypeTaux, ligne.CategorieAV});
            parCompte_[ligne.Compte].push_back(position);
        }
    }
    for (const auto& [compte, positions] : parCompte_) longueurs_.push_back(compte.size());
    std::sort(longueurs_.begin(), longueurs_.end());
    longueurs_.erase(std::unique(longueurs_.begin(), longueurs_.end()), longueurs_.end());
}

std::vector<Correspondance> IndexCorrespondances::Calculer(std::string_view compte,
                                                           std::string_view typeTaux,
                                                           std::string_view categorie) const {
    // Every account line whose Compte is a prefix of the account, found by
    // looking each distinct Compte length up; then back into walk order.
    std::vector<uint32_t> positions;
    for (size_t longueur : longueurs_) {
        if (longueur > compte.size()) break;
        auto it = parCompte_.find(std::string(compte.substr(0, longueur)));
        if (it == parCompte_.end()) continue;
        for (uint32_t position : it->second) {
            const Ligne& ligne = lignes_[position];
            if (Correspond(it->first, ligne.typeTaux, ligne.categorie, compte, typeTaux, categorie))
                positions.push_back(position);
        }
    }
    std::sort(positions.begin(), positions.end());
    std::vector<Correspondance> resultat;
    resultat.reserve(positions.size());
    for (uint32_t position : positions) resultat.push_back(lignes_[position].correspondance);
    return resultat;
}

const std::vector<Correspondance>& IndexCorrespondances::Correspondances(
    std::string_view compte, std::string_view typeTaux, std::string_view categorie) {
    cle_.clear();
    AjouterTaille(cle_, compte.size());
    AjouterTaille(cle_, typeTaux.size());
    cle_.append(compte).append(typeTaux).append(categorie);
    auto it = memo_.find(cle_);
    if (it != memo_.end()) return it->second;

    std::vector<Correspondance> resultat = Calculer(compte, typeTaux, categorie);
    if (resultat.size() > kMemoMaxCorrespondances / 4) {
        // Too large to be worth remembering.
        calcul_ = std::move(resultat);
        return calcul_;
    }
    if (memo_.size() >= kMemoMaxCles ||
        correspondancesMemo_ + resultat.size() > kMemoMaxCorrespondances) {
        memo_.clear();
        correspondancesMemo_ = 0;
    }
    correspondancesMemo_ += resultat.size();
    return memo_.emplace(cle_, std::move(resultat)).first->second;
}

void IndexCorrespondances::Cumuler(std::string_view compte, std::string_view typeTaux,
                                   std::string_view categorie, std::string_view montantTexte) {
    const std::vector<Correspondance>& correspondances =
        Correspondances(compte, typeTaux, categorie);
    if (correspondances.empty()) return;
    // The amount is read once: the conversion depends on the text alone.
    const double montant = TexteVersNombre(montantTexte);
    for (const Correspondance& c : correspondances)
        if (MontantRetenu(montant, c.sens)) AjouterMontant(*c.rubrique, montant, c.typeCumul);
}

}  // namespace qx
