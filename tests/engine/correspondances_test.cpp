// The matching index against the direct walk over every account line: the
// same matches in the same order, hence bit-identical rubric values, on many
// generated parameter files and data lines.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "engine/calcul_tva.h"
#include "engine/correspondances.h"
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using test::DossierTemporaire;

template <class T>
const T& choisir(std::mt19937& alea, const std::vector<T>& parmi) {
    return parmi[std::uniform_int_distribution<size_t>(0, parmi.size() - 1)(alea)];
}

const std::vector<std::string> kComptesLignes = {"",   "4",   "44",  "445", "4456", "44566", "7",
                                                 "70", "706", "709", "6",   "60",   "601",   "é7"};
const std::vector<std::string> kComptesDonnees = {"",       "4", "44",  "4456", "44566",
                                                  "445712", "7", "706", "7061", "70",
                                                  "709",    "6", "601", "8",    "é71"};
const std::vector<std::string> kTaux = {"9", "1", "01", "20", ""};
const std::vector<std::string> kCategories = {"9", "A", "B", ""};
const std::vector<std::string> kSigne = {"1", "-1", "-1", "2", "", "-01"};

std::string parametres(std::mt19937& alea, int nombre) {
    std::string xml = "<RUBRIQUESTVA><IMPRIME CODE='F'>";
    for (int i = 0; i < nombre; ++i) {
        const char* type = std::uniform_int_distribution<int>(0, 9)(alea) == 0 ? "T" : "N";
        xml += "<RUBRIQUE CODE='" + std::to_string(i) + "' TYPE='" + type + "'";
        if (std::uniform_int_distribution<int>(0, 7)(alea) == 0) xml += " CONDITION='POSITIF'";
        xml += ">";
        for (int l = std::uniform_int_distribution<int>(0, 4)(alea); l > 0; --l)
            xml += "<LIGNE COMPTE='" + choisir(alea, kComptesLignes) + "' TYPETAUX='" +
                   choisir(alea, kTaux) + "' CATEGORIEAV='" + choisir(alea, kCategories) +
                   "' SENS='" + choisir(alea, kSigne) + "' TYPECUMUL='" + choisir(alea, kSigne) +
                   "'/>";
        // Dependencies only towards later rubrics: chains, never cycles.
        for (int d = std::uniform_int_distribution<int>(0, 2)(alea); d > 0 && i + 1 < nombre; --d)
            xml += "<DEPENDANCE CODEIMPRIME='f' CODERUBRIQUE='" +
                   std::to_string(std::uniform_int_distribution<int>(i + 1, nombre - 1)(alea)) +
                   "' SENS='" + choisir(alea, kSigne) + "'/>";
        xml += "</RUBRIQUE>";
    }
    return xml + "</IMPRIME></RUBRIQUESTVA>";
}

std::string montant(std::mt19937& alea) {
    switch (std::uniform_int_distribution<int>(0, 9)(alea)) {
        case 0:
            return "0";
        case 1:
            return "abc";
        case 2:
            return "-1 234,57";
        case 3:
            return "12,5 EUR";
        default: {
            const double x = std::uniform_real_distribution<double>(-5000, 5000)(alea);
            char texte[64];
            std::snprintf(texte, sizeof texte, "%.*f",
                          std::uniform_int_distribution<int>(0, 4)(alea), x);
            return texte;
        }
    }
}

std::shared_ptr<CCalculTVA> charger(const std::string& chemin) {
    auto moteur = CCalculTVA::Creer();
    moteur->Rubriques()->ChargerFichier(chemin);
    return moteur;
}

// The account lines a data line meets, spelled out from the rules.
std::vector<std::pair<const CRubrique*, int32_t>> attendues(const CRubriques& rubriques,
                                                            std::string_view compte,
                                                            std::string_view taux,
                                                            std::string_view categorie) {
    std::vector<std::pair<const CRubrique*, int32_t>> out;
    for (const auto& r : rubriques.NewEnum()) {
        if (r->TypeRubrique() != EnumRubrType_Nombre) continue;
        const auto lignes = r->LignesRubrique()->NewEnum();
        for (size_t j = 0; j < lignes.size(); ++j) {
            const CLigneRubrique& l = *lignes[j];
            const bool cat = l.CategorieAV == "9" || l.CategorieAV == categorie;
            const bool cpt = compte.size() >= l.Compte.size() &&
                             compte.compare(0, l.Compte.size(), l.Compte) == 0;
            const bool tx = l.TypeTaux == "9" || l.TypeTaux == taux;
            if (cat && cpt && tx) out.emplace_back(r.get(), static_cast<int32_t>(j + 1));
        }
    }
    return out;
}

TEST(IndexCorrespondancesTest, SameMatchesAndBitIdenticalResultsAsTheDirectWalk) {
    DossierTemporaire dossier;
    int lignesNourricieres = 0;
    for (uint32_t graine = 1; graine <= 40; ++graine) {
        std::mt19937 alea(graine);
        const std::string chemin = dossier.ecrire(
            "p.xml", parametres(alea, std::uniform_int_distribution<int>(1, 60)(alea)));
        auto direct = charger(chemin);
        auto indexe = charger(chemin);
        IndexCorrespondances index(*indexe->Rubriques());
        const auto rubriquesDirect = direct->Rubriques()->NewEnum();
        const auto rubriquesIndexe = indexe->Rubriques()->NewEnum();

        for (int n = 0; n < 400; ++n) {
            const std::string& compte = choisir(alea, kComptesDonnees);
            const std::string& taux = choisir(alea, kTaux);
            const std::string categorie = std::uniform_int_distribution<int>(0, 5)(alea) == 0
                                              ? "X"
                                              : choisir(alea, kCategories);
            const std::string texte = montant(alea);

            // Same matches in the same order (positions in the collection).
            const auto& trouvees = index.Correspondances(compte, taux, categorie);
            const auto reference = attendues(*direct->Rubriques(), compte, taux, categorie);
            ASSERT_EQ(trouvees.size(), reference.size()) << graine << " " << compte;
            for (size_t k = 0; k < trouvees.size(); ++k) {
                const CRubrique* r = reference[k].first;
                const auto ligne = r->KeyRubrique();
                EXPECT_EQ(trouvees[k].rubrique->KeyRubrique(), ligne);
                const auto& l = *direct->Rubriques()
                                     ->Item(Value(ligne))
                                     ->LignesRubrique()
                                     ->at(reference[k].second);
                EXPECT_EQ(trouvees[k].sens, l.Sens);
                EXPECT_EQ(trouvees[k].typeCumul, l.TypeCumul);
            }
            lignesNourricieres += !trouvees.empty();

            CumulerLigneDirect(*direct->Rubriques(), compte, taux, categorie, texte);
            index.Cumuler(compte, taux, categorie, texte);
        }
        ASSERT_EQ(rubriquesDirect.size(), rubriquesIndexe.size());
        for (size_t i = 0; i < rubriquesDirect.size(); ++i) {
            const Value a = rubriquesDirect[i]->Valeur(), b = rubriquesIndexe[i]->Valeur();
            ASSERT_EQ(a.kind(), b.kind()) << graine << " " << rubriquesDirect[i]->KeyRubrique();
            if (a.kind() == ValueKind::Double) {
                EXPECT_EQ(std::bit_cast<uint64_t>(a.doubleValue()),
                          std::bit_cast<uint64_t>(b.doubleValue()))
                    << graine << " " << rubriquesDirect[i]->KeyRubrique();
            } else {
                EXPECT_TRUE(a == b);
            }
        }
    }
    EXPECT_GT(lignesNourricieres, 5000);  // the generated data really feeds rubrics
}

TEST(IndexCorrespondancesTest, MemoStaysBoundedOnEndlesslyNewRateTypes) {
    DossierTemporaire dossier;
    auto moteur = charger(dossier.ecrire(
        "p.xml",
        "<R><IMPRIME CODE='F'><RUBRIQUE CODE='A'><LIGNE COMPTE='4' TYPETAUX='9' CATEGORIEAV='9'/>"
        "</RUBRIQUE><RUBRIQUE CODE='B'><LIGNE COMPTE='' TYPETAUX='9' CATEGORIEAV='9' "
        "SENS='-1' TYPECUMUL='-1'/></RUBRIQUE></IMPRIME></R>"));
    IndexCorrespondances index(*moteur->Rubriques());
    std::string compte, taux;
    for (size_t i = 0; i < IndexCorrespondances::kMemoMaxCles + 50; ++i) {
        compte = std::to_string(i);
        taux = "T" + compte;
        index.Cumuler(compte, taux, "", "-1");
        ASSERT_LE(index.TailleMemo(), IndexCorrespondances::kMemoMaxCles);
    }
    // Each account fed B once; after the memo was cleared the answers still hold.
    EXPECT_EQ(moteur->Rubriques()->Item(Value("FB"))->AsDouble(),
              -static_cast<double>(IndexCorrespondances::kMemoMaxCles + 50));
    EXPECT_EQ(index.Correspondances("41", "", "").size(), 2u);
    EXPECT_EQ(index.Correspondances("5", "", "").size(), 1u);
}

}  // namespace
}  // namespace qx
