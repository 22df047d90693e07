#include "generateur.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/calcul_tva.h"
#include "platform/error.h"
#include "platform/thread_state.h"
#include "platform/xml_document.h"
#include "platform/xml_scanner.h"

namespace qx::bench {
namespace {

std::string chemin(const std::string& nom) {
    return (std::filesystem::temp_directory_path() / ("qx_bench_" + nom)).string();
}

std::string contenu(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Every data line, as the engine's scanner reports it.
struct Lignes : XmlScanner::Handler {
    std::vector<std::map<std::string, std::string>> lignes;
    void element(std::string_view nom, const XmlScanner& s) override {
        if (nom != "LIGNE") return;
        auto& l = lignes.emplace_back();
        for (const char* a : {"COMPTE", "MONTANT", "TAUXTVA", "TYPETAUX", "CATEGORIEAV"})
            l[a] = std::string(s.attribut(a));
    }
};

Lignes lire(const std::string& path) {
    XmlScanner scanner;
    scanner.setFichier(path);
    Lignes l;
    scanner.scanner(l);
    return l;
}

TEST(GenerateurDonnees, WritesExactlyTheLinesAskedForWellFormed) {
    const PlanComptable plan = planParDefaut();
    for (uint64_t n : {0ull, 1ull, 7ull, 3000ull}) {
        SCOPED_TRACE(n);
        OptionsDonnees o;
        o.lignes = n;
        auto stats = genererDonnees(chemin("d.xml"), plan, o);
        EXPECT_EQ(stats.lignes, n);
        EXPECT_EQ(stats.octets, std::filesystem::file_size(chemin("d.xml")));
        EXPECT_EQ(lire(chemin("d.xml")).lignes.size(), n);
    }
}

TEST(GenerateurDonnees, LinesLookLikeALedger) {
    OptionsDonnees o;
    o.lignes = 5000;
    genererDonnees(chemin("grand-livre.xml"), planParDefaut(), o);
    auto lignes = lire(chemin("grand-livre.xml")).lignes;
    int negatifs = 0, nuls = 0, ventesAuCredit = 0, ventes = 0;
    std::set<size_t> longueurs;
    for (const auto& l : lignes) {
        const std::string& m = l.at("MONTANT");
        ASSERT_GE(m.size(), 4u) << m;
        EXPECT_EQ(m[m.size() - 3], '.') << m;  // two decimals, "." whatever the locale
        EXPECT_NE(l.at("TYPETAUX"), "9");
        EXPECT_NE(l.at("CATEGORIEAV"), "9");
        longueurs.insert(l.at("COMPTE").size());
        if (m[0] == '-') ++negatifs;
        if (m == "0.00") ++nuls;
        if (l.at("COMPTE")[0] == '7') {
            ++ventes;
            if (m[0] == '-') ++ventesAuCredit;
        }
    }
    EXPECT_GT(negatifs, 0);
    EXPECT_GT(nuls, 0);
    EXPECT_GT(ventesAuCredit, ventes * 8 / 10);  // sales are credits, a few refunds aside
    EXPECT_EQ(*longueurs.begin(), 6u);
    EXPECT_EQ(*longueurs.rbegin(), 8u);

    // Some lines stand inside JOURNAL/ECRITURE wrappers, some directly under DONNEES.
    auto doc = XmlDocument::loadFile(chemin("grand-livre.xml"));
    ASSERT_EQ(doc.index(), 0u);
    const auto& d = std::get<0>(doc);
    size_t directes = d.elements("DONNEES").at(0).children("LIGNE").size(), imbriquees = 0;
    for (const auto& e : d.elements("ECRITURE")) imbriquees += e.children("LIGNE").size();
    EXPECT_GT(directes, 0u);
    EXPECT_GT(imbriquees, 0u);
    EXPECT_EQ(directes + imbriquees, lignes.size());
    EXPECT_EQ(d.elements("PARAMS").at(0).attribute("CREDITTVA"), "1523.40");
}

TEST(Generateur, SameSeedSameBytesOtherSeedOtherBytes) {
    const PlanComptable plan = planParDefaut();
    auto donnees = [&](uint64_t graine) {
        OptionsDonnees o;
        o.lignes = 500;
        o.graine = graine;
        genererDonnees(chemin("graine.xml"), plan, o);
        return contenu(chemin("graine.xml"));
    };
    auto parametrage = [&](uint64_t graine) {
        OptionsParametrage o;
        o.rubriques = 100;
        o.lignesCompte = 400;
        o.graine = graine;
        genererParametrage(chemin("graine-p.xml"), plan, o);
        return contenu(chemin("graine-p.xml"));
    };
    EXPECT_EQ(donnees(1), donnees(1));
    EXPECT_NE(donnees(1), donnees(2));
    EXPECT_EQ(parametrage(1), parametrage(1));
    EXPECT_NE(parametrage(1), parametrage(2));
}

// Longest dependency path, in rubrics, starting from r.
int profondeur(CRubrique* r, std::map<CRubrique*, int>& memo) {
    auto it = memo.find(r);
    if (it != memo.end()) return it->second;
    int p = 1;
    auto deps = r->LignesDependance();
    for (int32_t i = 1; i <= deps->Count(); ++i)
        if (auto cible = deps->at(i)->RubriqueDep())
            p = std::max(p, 1 + profondeur(cible.get(), memo));
    return memo[r] = p;
}

TEST(GenerateurParametrage, LoadsIntoTheEngineWithTheShapeAskedFor) {
    struct Cas {
        uint32_t rubriques, lignes, profondeur;
    };
    for (const Cas& c : {Cas{2000, 10000, 10}, Cas{60, 250, 3}, Cas{7, 30, 1}}) {
        SCOPED_TRACE(c.rubriques);
        OptionsParametrage o;
        o.rubriques = c.rubriques;
        o.lignesCompte = c.lignes;
        o.profondeur = c.profondeur;
        auto stats = genererParametrage(chemin("p.xml"), planParDefaut(), o);

        auto moteur = CCalculTVA::Creer();
        auto rubriques = moteur->Rubriques();
        ASSERT_NO_THROW(rubriques->ChargerFichier(chemin("p.xml")));  // no duplicate key, no cycle
        EXPECT_EQ(static_cast<uint32_t>(rubriques->Count()), stats.rubriques);
        EXPECT_EQ(stats.rubriques, c.rubriques + 2);  // plus the two credit rubrics
        EXPECT_TRUE(rubriques->IsKeyExist("CA3HD"));
        EXPECT_TRUE(rubriques->IsKeyExist("CA12KA"));

        std::set<std::string> imprimes;
        std::set<size_t> longueurs;
        uint32_t lignes = 0, dependances = 0, jokersTaux = 0, jokersCategorie = 0;
        int plusLongue = 0;
        std::map<CRubrique*, int> memo;
        for (int32_t i = 1; i <= rubriques->Count(); ++i) {
            CRubrique* r = rubriques->at(i).get();
            imprimes.insert(r->CodeImprime());
            auto lr = r->LignesRubrique();
            for (int32_t j = 1; j <= lr->Count(); ++j) {
                const auto& l = *lr->at(j);
                longueurs.insert(l.Compte.size());
                jokersTaux += l.TypeTaux == "9";
                jokersCategorie += l.CategorieAV == "9";
                ++lignes;
            }
            auto ld = r->LignesDependance();
            for (int32_t j = 1; j <= ld->Count(); ++j) {
                EXPECT_TRUE(ld->at(j)->RubriqueDep())
                    << r->KeyRubrique() << " feeds a missing rubric";
                ++dependances;
            }
            plusLongue = std::max(plusLongue, profondeur(r, memo));
        }
        EXPECT_EQ(lignes, c.lignes);
        EXPECT_EQ(lignes, stats.lignesCompte);
        EXPECT_EQ(dependances, stats.dependances);
        EXPECT_EQ(plusLongue, static_cast<int>(c.profondeur));
        EXPECT_EQ(static_cast<uint32_t>(plusLongue), stats.longueurMaxChaine);
        if (c.rubriques >= 2000) {
            EXPECT_GT(jokersTaux, 0u);
            EXPECT_GT(jokersCategorie, 0u);
            EXPECT_EQ(imprimes.size(), 5u);
            for (size_t n = 0; n <= 8; ++n)
                EXPECT_TRUE(longueurs.count(n)) << "no prefix of length " << n;
        }
    }
}

TEST(GenerateurChaine, CarriesAnAmountThroughEveryHopWithItsSign) {
    for (uint32_t sauts : {1u, 5u, 10u}) {
        SCOPED_TRACE(sauts);
        genererChaine(chemin("chaine.xml"), sauts);
        auto moteur = CCalculTVA::Creer();
        auto rubriques = moteur->Rubriques();
        rubriques->ChargerFichier(chemin("chaine.xml"));
        ASSERT_EQ(rubriques->Count(), static_cast<int32_t>(sauts + 1));
        rubriques->at(1)->AjouterValeur(100);
        double attendu = 100;
        for (int32_t i = 1; i <= rubriques->Count(); ++i) {
            EXPECT_EQ(rubriques->at(i)->AsDouble(), attendu) << i;
            if (i % 2 == 0) attendu = -attendu;  // odd hops subtract
        }
    }
}

TEST(GenerateurPlan, DataDrawnFromAParameterFileFeedsItsRubrics) {
    const std::string ca3 = std::string(QX_SAMPLES_DIR) + "/ca3/rubriques.xml";
    PlanComptable plan = planDepuisParametrage(ca3);
    ASSERT_FALSE(plan.imputations.empty());
    for (const auto& t : plan.typesTaux) EXPECT_NE(t, "9");
    for (const auto& c : plan.categories) EXPECT_NE(c, "9");

    OptionsDonnees o;
    o.lignes = 2000;
    genererDonnees(chemin("ca3.xml"), plan, o);
    DefinirTypeDeclaration("CA3");
    auto moteur = CCalculTVA::Creer();
    ASSERT_TRUE(moteur->Init(chemin("ca3.xml"), ca3, ""));
    int alimentees = 0;
    auto rubriques = moteur->Rubriques();
    for (int32_t i = 1; i <= rubriques->Count(); ++i)
        alimentees += rubriques->at(i)->AsDouble() != 0;
    EXPECT_GT(alimentees, 10);
}

TEST(Generateur, FailuresAreNumberedErrors) {
    struct Cas {
        const char* quoi;
        std::function<void()> appel;
        int32_t numero;
    };
    PlanComptable vide;
    const std::string inaccessible = "/nonexistent/dir/x.xml";
    std::vector<Cas> cas = {
        {"data file in a missing folder",
         [&] { genererDonnees(inaccessible, planParDefaut(), {}); }, err::AccesFichier},
        {"parameter file in a missing folder",
         [&] { genererParametrage(inaccessible, planParDefaut(), {}); }, err::AccesFichier},
        {"chain in a missing folder", [&] { genererChaine(inaccessible, 5); }, err::AccesFichier},
        {"empty chart for data", [&] { genererDonnees(chemin("v.xml"), vide, {}); },
         err::AppelIncorrect},
        {"empty chart for parameters", [&] { genererParametrage(chemin("v.xml"), vide, {}); },
         err::AppelIncorrect},
        {"chains of length 0",
         [&] {
             OptionsParametrage o;
             o.profondeur = 0;
             genererParametrage(chemin("v.xml"), planParDefaut(), o);
         },
         err::AppelIncorrect},
        {"unreadable chart", [&] { planDepuisParametrage(inaccessible); }, err::AccesFichier},
    };
    for (const auto& c : cas) {
        try {
            c.appel();
            ADD_FAILURE() << c.quoi << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.numero) << c.quoi;
            EXPECT_FALSE(e.description().empty()) << c.quoi;
        }
    }
}

}  // namespace
}  // namespace qx::bench
