#include "generateur.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/calcul_tva.h"
#include "platform/xml_document.h"
#include "support/outils.h"

namespace qx::bench {
namespace {

using test::errorOf;

TEST(Generateur, DataFilesHaveTheLinesAskedForAndDependOnlyOnTheSeed) {
    test::DossierTemporaire dossier;
    const std::string chemin = (dossier / "d.xml").string();
    const PlanComptable plan = planParDefaut();
    auto generer = [&](uint64_t lignes, uint64_t graine) {
        auto stats = genererDonnees(chemin, plan, {lignes, graine, "1523.40"});
        EXPECT_EQ(stats.lignes, lignes);
        return test::lireFichier(chemin);
    };
    const std::string texte = generer(3000, 1);
    EXPECT_EQ(generer(3000, 1), texte);
    EXPECT_NE(generer(3000, 2), texte);

    // Some lines directly under DONNEES and some nested; amounts with two decimals, some negative.
    auto doc = std::get<XmlDocument>(XmlDocument::parseText(texte));
    size_t imbriquees = 0, negatifs = 0;
    for (const auto& e : doc.elements("ECRITURE")) imbriquees += e.children("LIGNE").size();
    for (const auto& l : doc.elements("LIGNE")) {
        const std::string m = *l.attribute("MONTANT");
        EXPECT_EQ(m[m.size() - 3], '.') << m;
        negatifs += m[0] == '-';
    }
    EXPECT_EQ(doc.elements("LIGNE").size(), 3000u);
    EXPECT_TRUE(imbriquees > 0 && imbriquees < 3000 && negatifs > 0);
    EXPECT_EQ(doc.elements("PARAMS").at(0).attribute("CREDITTVA"), "1523.40");

    const std::string absent = "/nonexistent/dir/x.xml";
    EXPECT_EQ(errorOf([&] { genererDonnees(absent, plan, {}); }), err::AccesFichier);
    EXPECT_EQ(errorOf([&] { planDepuisParametrage(absent); }), err::AccesFichier);
    EXPECT_EQ(errorOf([&] { genererDonnees(chemin, {}, {}); }), err::AppelIncorrect);
    EXPECT_EQ(errorOf([&] {
                  genererParametrage(chemin, plan, {10, 10, 0, 1});
              }),
              err::AppelIncorrect);
}

int profondeur(CRubrique* r, std::map<CRubrique*, int>& memo) {
    if (auto it = memo.find(r); it != memo.end()) return it->second;
    int p = 1;
    for (const auto& d : r->LignesDependance()->NewEnum())
        if (auto cible = d->RubriqueDep()) p = std::max(p, 1 + profondeur(cible.get(), memo));
    return memo[r] = p;
}

TEST(Generateur, ParameterFilesLoadWithTheShapeAskedForAndChainsKeepTheSign) {
    test::DossierTemporaire dossier;
    const std::string p = (dossier / "p.xml").string(), c = (dossier / "c.xml").string();
    genererParametrage(p, planParDefaut(), {60, 250, 3, 17});
    auto rubriques = CCalculTVA::Creer()->Rubriques();
    rubriques->ChargerFichier(p);       // no duplicate key, no cycle
    EXPECT_EQ(rubriques->Count(), 62);  // plus the two credit rubrics
    int lignes = 0, plusLongue = 0;
    std::map<CRubrique*, int> memo;
    for (const auto& r : rubriques->NewEnum()) {
        lignes += r->LignesRubrique()->Count();
        plusLongue = std::max(plusLongue, profondeur(r.get(), memo));
    }
    EXPECT_EQ(std::pair(lignes, plusLongue), std::pair(250, 3));

    genererChaine(c, 5);
    rubriques = CCalculTVA::Creer()->Rubriques();
    rubriques->ChargerFichier(c);
    rubriques->at(1)->AjouterValeur(100);
    for (int32_t i = 1; i <= 6; ++i)
        EXPECT_EQ(rubriques->at(i)->AsDouble(), (i - 1) / 2 % 2 ? -100 : 100) << i;
}

}  // namespace
}  // namespace qx::bench
