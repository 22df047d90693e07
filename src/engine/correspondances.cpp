#include "engine/correspondances.h"

#include <algorithm>
#include <cstring>

#include "engine/calcul_interne.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

void AjouterTaille(std::string& cle, size_t taille) {
    char octets[sizeof taille];
    std::memcpy(octets, &taille, sizeof taille);
    cle.append(octets, sizeof taille);
}

}  // namespace

IndexCorrespondances::IndexCorrespondances(const CRubriques& rubriques) : noeuds_(1) {
    const int32_t nombre = rubriques.Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        const std::shared_ptr<CRubrique>& rubrique = CalculInterne::Rubrique(rubriques, i);
        // Text and date rubrics never receive amounts: their lines can never add.
        if (RubriqueInterne::TypeRubrique(*rubrique) != EnumRubrType_Nombre) continue;
        std::shared_ptr<CLignesRubrique> lignes = rubrique->LignesRubrique();
        const int32_t nombreLignes = lignes->Count();
        if (nombreLignes > 0) rubriques_.push_back(rubrique);
        for (int32_t j = 1; j <= nombreLignes; ++j) {
            const CLigneRubrique& ligne = *RubriqueInterne::Ligne(*lignes, j);
            uint32_t noeud = 0;
            for (char c : ligne.Compte) {
                uint32_t suivant = Enfant(noeud, c);
                if (suivant == 0) {
                    suivant = static_cast<uint32_t>(noeuds_.size());
                    noeuds_.emplace_back();
                    noeuds_.back().parent = noeud;
                    noeuds_[noeud].enfants.emplace_back(c, suivant);
                }
                noeud = suivant;
            }
            noeuds_[noeud].lignes.push_back(static_cast<uint32_t>(lignes_.size()));
            lignes_.push_back(
                {{rubrique.get(), ligne.TypeCumul, ligne.Sens}, ligne.TypeTaux, ligne.CategorieAV});
        }
    }
}

uint32_t IndexCorrespondances::Enfant(uint32_t noeud, char c) const {
    for (const auto& [octet, enfant] : noeuds_[noeud].enfants)
        if (octet == c) return enfant;
    return 0;
}

std::vector<Correspondance> IndexCorrespondances::Calculer(uint32_t noeud,
                                                           std::string_view typeTaux,
                                                           std::string_view categorie) const {
    // Every line on the path back to the root has a Compte that prefixes the
    // account; keep those whose rate type and category match, in walk order.
    std::vector<uint32_t> positions;
    for (;;) {
        for (uint32_t position : noeuds_[noeud].lignes) {
            const Ligne& ligne = lignes_[position];
            if (TauxEtCategorieCorrespondent(ligne.typeTaux, ligne.categorie, typeTaux, categorie))
                positions.push_back(position);
        }
        if (noeud == 0) break;
        noeud = noeuds_[noeud].parent;
    }
    std::sort(positions.begin(), positions.end());
    std::vector<Correspondance> resultat;
    resultat.reserve(positions.size());
    for (uint32_t position : positions) resultat.push_back(lignes_[position].correspondance);
    return resultat;
}

bool IndexCorrespondances::Cle(std::string_view compte, std::string_view typeTaux,
                               std::string_view categorie, uint64_t& motCompte,
                               uint64_t& motCodes) {
    // Lengths first, so that different triples never pack alike. Byte by
    // byte: these texts are a few bytes long, a library copy would cost more.
    if (compte.size() > 8 || typeTaux.size() + categorie.size() > 6) return false;
    uint64_t mot = 0;
    for (size_t i = 0; i < compte.size(); ++i)
        mot |= uint64_t{static_cast<unsigned char>(compte[i])} << (8 * i);
    motCompte = mot;
    mot = (compte.size() + 1) | (typeTaux.size() << 8);
    unsigned decalage = 16;
    for (char c : typeTaux)
        mot |= uint64_t{static_cast<unsigned char>(c)} << decalage, decalage += 8;
    for (char c : categorie)
        mot |= uint64_t{static_cast<unsigned char>(c)} << decalage, decalage += 8;
    motCodes = mot;
    return true;
}

const std::vector<Correspondance>& IndexCorrespondances::Correspondances(
    std::string_view compte, std::string_view typeTaux, std::string_view categorie) {
    uint64_t motCompte, motCodes;
    if (!Cle(compte, typeTaux, categorie, motCompte, motCodes))
        return Chercher(compte, typeTaux, categorie);
    uint64_t h = (motCompte ^ (motCodes * 0x9E3779B97F4A7C15ull)) * 0xC2B2AE3D27D4EB4Full;
    Recent& recent = recents_[(h >> 32) % kRecents];
    if (recent.compte == motCompte && recent.codes == motCodes) return *recent.correspondances;
    const std::vector<Correspondance>& resultat = Chercher(compte, typeTaux, categorie);
    // Only what the memo keeps stays valid: a one-off answer is not remembered.
    if (&resultat != &calcul_) recent = {motCompte, motCodes, &resultat};
    return resultat;
}

const std::vector<Correspondance>& IndexCorrespondances::Chercher(std::string_view compte,
                                                                  std::string_view typeTaux,
                                                                  std::string_view categorie) {
    uint32_t noeud = 0;
    for (char c : compte) {
        const uint32_t suivant = Enfant(noeud, c);
        if (suivant == 0) break;
        noeud = suivant;
    }
    cle_.clear();
    AjouterTaille(cle_, noeud);
    AjouterTaille(cle_, typeTaux.size());
    cle_.append(typeTaux).append(categorie);
    auto it = memo_.find(cle_);
    if (it != memo_.end()) return it->second;

    std::vector<Correspondance> resultat = Calculer(noeud, typeTaux, categorie);
    if (resultat.size() > kMemoMaxCorrespondances / 4 || cle_.size() > kMemoMaxOctetsCle) {
        // Too large to be worth remembering.
        calcul_ = std::move(resultat);
        return calcul_;
    }
    if (memo_.size() >= kMemoMaxCles ||
        correspondancesMemo_ + resultat.size() > kMemoMaxCorrespondances) {
        memo_.clear();
        correspondancesMemo_ = 0;
        std::fill(recents_.begin(), recents_.end(), Recent{});  // they pointed into the memo
    }
    correspondancesMemo_ += resultat.size();
    return memo_.emplace(cle_, std::move(resultat)).first->second;
}

}  // namespace qx
