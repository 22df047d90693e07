// qxtva declarer, montant, pivot and reglements on the samples: a full
// round trip through the stand-in product's outbox, and bad input.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;

const std::string kSamples = QX_SAMPLES_DIR;

class DeclarationCliTest : public qx::test::TestQxtva {
protected:
    // Runs qxtva with the outbox inside the test's folder; arguments split at spaces.
    Execution qxtva(const std::string& ligne) const {
        std::vector<std::string> arguments;
        std::istringstream mots(ligne);
        for (std::string mot; mots >> mot;) arguments.push_back(mot);
        return lancer(arguments);
    }
    static std::string echantillon(const std::string& annee) {
        return " --donnees " + kSamples + "/" + annee + "/donnees.xml --rubriques " + kSamples +
               "/" + annee + "/rubriques.xml";
    }
    std::string declarer(const std::string& annee, const std::string& dossier) const {
        return "declarer --dossier " + dossier + echantillon(annee) + " --resultat " +
               chemin("r.xml") + " --date-jour 2026-12-05";
    }

    const fs::path boite_ = dossier_ / "envoi";
    qx::test::VariableTemporaire outbox_{"ARDILO_OUTBOX", boite_.c_str()};
};

// Both samples declared, then what was stored read back (a figure in its aligned row, the
// instalment boxes, payments), and bad input: its French message alone on stderr.
TEST_F(DeclarationCliTest, RoundTripOfBothSamplesAndBadInput) {
    Execution ca3 = qxtva(declarer("ca3", kSamples + "/ca3/dossier.xml"));
    const std::string depot3 = (boite_ / "ARD-20261205-0001.xml").string();
    ASSERT_EQ(ca3.code, 0) << ca3.erreurs;
    EXPECT_EQ(ca3.sortie + ca3.erreurs, "Dépôt ARD-20261205-0001 accepté : " + depot3 + "\n");
    // The result file is the computation's, as "calcul" writes it.
    auto lues = qx::test::rubriquesDuResultat(chemin("r.xml"));
    EXPECT_EQ(std::ranges::count(lues, "CA3KE=584*"), 1) << testing::PrintToString(lues);
    ASSERT_EQ(qxtva(declarer("ca12", kSamples + "/ca12/dossier.xml")).code, 0);
    lues = qx::test::rubriquesDuResultat(chemin("r.xml"));
    EXPECT_EQ(
        std::ranges::count_if(lues, [](const std::string& r) { return r.starts_with("CA12"); }),
        static_cast<long>(lues.size()));

    const std::string rubriques = " --rubriques " + kSamples + "/ca3/rubriques.xml";
    const std::tuple<std::string, int, std::vector<std::string>> cas[] = {
        {"pivot " + depot3,
         0,
         {"CA3      32     KE       584  Total à payer (lignes 28 + 29 - AB)"}},
        {"reglements " + depot3, 0, {"  Prélèvement 1 : 584, référence « REG1-PRL1 »"}},
        {"montant" + echantillon("ca3"), 0, {"584.0000"}},
        {declarer("ca3", dossier_.ecrire("x", "") + "-absent"),
         2,
         {"-absent » : fichier introuvable"}},
        {declarer("ca3", dossier_.ecrire("d1.xml", "<DOSSIERTVA>")),
         2,
         {"lecture impossible (ligne"}},
        {declarer("ca3",
                  dossier_.ecrire("d4.xml",
                                  "<DOSSIERTVA><PAIEMENTS><PAIEMENT><PRELEVEMENT MONTANT=\"1,5\"/>"
                                  "</PAIEMENT></PAIEMENTS></DOSSIERTVA>")),
         2,
         {"valeur incorrecte « 1,5 » pour MONTANT"}},
        {"declarer --dossier " + kSamples + "/ca3/dossier.xml --donnees absent.xml" + rubriques +
             " --resultat r.xml",
         2,
         {"erreur 0x80040202 : Le fichier de données comptable n'existe pas : absent.xml\n"}},
        // A result file that cannot be written: nothing is sent.
        {"declarer --dossier " + kSamples + "/ca3/dossier.xml" + echantillon("ca3") +
             " --resultat " + boite_.string(),
         2,
         {"erreur 75 : "}},
        {"montant --donnees absent.xml" + rubriques,
         2,
         {"erreur 0x80040202 : Le fichier de données comptable n'existe pas : absent.xml\n"}},
        {"pivot absent.xml", 2, {"fichier « absent.xml » introuvable"}},
    };
    for (const auto& [arguments, code, lignes] : cas) {
        SCOPED_TRACE(arguments);
        Execution e = qxtva(arguments);
        EXPECT_EQ(e.code, code) << e.erreurs;
        EXPECT_EQ(code ? e.sortie : e.erreurs, "");
        for (const std::string& l : lignes)
            EXPECT_NE((code ? e.erreurs : e.sortie).find(l), std::string::npos) << l;
    }
    // The failed declarations deposited nothing beside the two pivots and their headers.
    EXPECT_EQ(std::distance(fs::directory_iterator(boite_), fs::directory_iterator()), 4);
}

}  // namespace
