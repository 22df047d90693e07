#include "generateur.h"

#include <gtest/gtest.h>

#include "platform/xml_document.h"
#include "support/outils.h"

namespace qx::bench {
namespace {

TEST(Generateur, DataFilesHaveTheLinesAskedForAndDependOnlyOnTheSeed) {
    test::DossierTemporaire dossier;
    const std::string chemin = (dossier / "d.xml").string();
    auto generer = [&](uint64_t graine) {
        EXPECT_EQ(genererDonnees(chemin, planParDefaut(), {3000, graine, "1523.40"}).lignes, 3000u);
        return test::lireFichier(chemin);
    };
    const std::string texte = generer(1);
    EXPECT_TRUE(generer(1) == texte && generer(2) != texte);

    // Some lines directly under DONNEES and some nested.
    auto doc = std::get<XmlDocument>(XmlDocument::parseText(texte));
    size_t imbriquees = 0;
    for (const auto& e : doc.elements("ECRITURE")) imbriquees += e.children("LIGNE").size();
    EXPECT_TRUE(doc.elements("LIGNE").size() == 3000 && imbriquees > 0 && imbriquees < 3000);
    EXPECT_EQ(doc.elements("PARAMS").at(0).attribute("CREDITTVA"), "1523.40");
}

}  // namespace
}  // namespace qx::bench
