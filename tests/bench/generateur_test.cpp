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
    auto generer = [&](uint64_t graine) {
        EXPECT_EQ(genererDonnees(chemin, plan, {3000, graine, "1523.40"}).lignes, 3000u);
        return test::lireFichier(chemin);
    };
    const std::string texte = generer(1);
    EXPECT_TRUE(generer(1) == texte && generer(2) != texte);

    // Some lines directly under DONNEES and some nested; amounts with two decimals, some negative.
    auto doc = std::get<XmlDocument>(XmlDocument::parseText(texte));
    size_t imbriquees = 0, negatifs = 0, centimes = 0;
    for (const auto& e : doc.elements("ECRITURE")) imbriquees += e.children("LIGNE").size();
    for (const auto& l : doc.elements("LIGNE")) {
        const std::string m = *l.attribute("MONTANT");
        centimes += m[m.size() - 3] == '.', negatifs += m[0] == '-';
    }
    EXPECT_EQ(std::pair(doc.elements("LIGNE").size(), centimes),
              std::pair(size_t{3000}, size_t{3000}));
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
    rubriques->ChargerFichier(p);  // no duplicate key, no cycle
    int lignes = 0, plusLongue = 0;
    std::map<CRubrique*, int> memo;
    for (const auto& r : rubriques->NewEnum()) {
        lignes += r->LignesRubrique()->Count();
        plusLongue = std::max(plusLongue, profondeur(r.get(), memo));
    }
    // Two credit rubrics come with the 60 asked for.
    EXPECT_EQ(std::tuple(rubriques->Count(), lignes, plusLongue), std::tuple(62, 250, 3));

    genererChaine(c, 5);
    rubriques = CCalculTVA::Creer()->Rubriques();
    rubriques->ChargerFichier(c);
    rubriques->at(1)->AjouterValeur(100);
    for (int32_t i = 1; i <= 6; ++i)
        EXPECT_EQ(rubriques->at(i)->AsDouble(), (i - 1) / 2 % 2 ? -100 : 100) << i;
}

}  // namespace
}  // namespace qx::bench
