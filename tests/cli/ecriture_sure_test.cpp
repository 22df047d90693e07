// The ways the tool once lost data: a full disk, a result path naming the
// data file or a device, a full outbox. Each now fails with 75, names the
// path and the reason, and keeps every file as it was.
#include <gtest/gtest.h>

#include "support/limite_taille.h"
#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;

const std::string kSamples = QX_SAMPLES_DIR;
const std::string kDonnees = kSamples + "/ca3/donnees.xml";
const std::string kRubriques = kSamples + "/ca3/rubriques.xml";

class EcritureSureTest : public qx::test::TestQxtva {
protected:
    Execution calcul(const std::string& donnees, const std::string& resultat) const {
        return lancer({"calcul", "--donnees", donnees, "--rubriques", kRubriques, "--resultat",
                       resultat, "--quiet"});
    }
};

TEST_F(EcritureSureTest, FailedResultsKeepEveryFile) {
    const std::string resultat = chemin("resultat.xml");
    ASSERT_EQ(calcul(kDonnees, resultat).code, 0);
    const std::string ancien = qx::test::lireFichier(resultat);
    const std::string donnees = chemin("donnees.xml");
    fs::copy_file(kDonnees, donnees);
    const std::string donneesAvant = qx::test::lireFichier(donnees);
    const std::vector<std::string> avant = qx::test::noms(dossier_.chemin());

    struct Cas {
        const char* nom;
        std::string resultat;
        std::string raison;
        size_t limite = 0;  // a disk that fills up past this many bytes
    };
    const Cas cas[] = {
        {"full disk", resultat, "fichier trop volumineux pour le système", 1024},
        {"the data file", donnees, "c'est le fichier lu « " + donnees + " »"},
        {"a device", "/dev/full", "c'est un périphérique"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        std::optional<qx::test::LimiteTaille> limite;
        if (c.limite) limite.emplace(c.limite);
        const Execution e = calcul(donnees, c.resultat);
        limite.reset();
        EXPECT_EQ(e.code, 2);
        EXPECT_EQ(e.erreurs, "erreur 75 : Impossible d'écrire le fichier « " + c.resultat +
                                 " » : " + c.raison + "\n");
        EXPECT_EQ(qx::test::lireFichier(resultat), ancien);
        EXPECT_EQ(qx::test::lireFichier(donnees), donneesAvant);
        EXPECT_EQ(qx::test::noms(dossier_.chemin()), avant);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(EcritureSureTest, FullOutboxLeavesNoDepositAndSaysWhy) {
    const fs::path boite = dossier_ / "envoi";
    qx::test::VariableTemporaire outbox("ARDILO_OUTBOX", boite.c_str());
    const std::vector<std::string> declarer = {
        "declarer",    "--dossier",  kSamples + "/ca3/dossier.xml",
        "--donnees",   kDonnees,     "--rubriques",
        kRubriques,    "--resultat", (dossier_ / "r.xml").string(),
        "--date-jour", "2026-12-05"};
    // The result file is written before the deposit: room for it, not for the deposit.
    const fs::path resultat = dossier_ / "r.xml";
    ASSERT_EQ(calcul(kDonnees, resultat.string()).code, 0);
    Execution plein;
    {
        qx::test::LimiteTaille limite(fs::file_size(resultat) + 64);
        plein = lancer(declarer);
    }
    EXPECT_EQ(plein.code, 2);
    EXPECT_NE(plein.erreurs.find("La déclaration n'a pas été transmise. Impossible d'écrire le "
                                 "fichier « " +
                                 boite.string() + "/"),
              std::string::npos)
        << plein.erreurs;
    EXPECT_NE(plein.erreurs.find(" : fichier trop volumineux pour le système"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(boite));
    // The number was not used up.
    const Execution suivant = lancer(declarer);
    EXPECT_EQ(suivant.sortie, "Dépôt ARD-20261205-0001 accepté : " +
                                  (boite / "ARD-20261205-0001.xml").string() + "\n");
}

}  // namespace
