// qxtva declarer, montant, pivot and reglements on the samples: a full
// round trip through the stand-in product's outbox, and bad input.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kQxtva = QX_QXTVA_PATH;
const std::string kSamples = QX_SAMPLES_DIR;

std::string lire(const fs::path& chemin) {
    std::ifstream in(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << in.rdbuf();
    return texte.str();
}

struct Execution {
    int code = -1;
    std::string sortie, erreurs;
};

class DeclarationCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dossier_ = fs::temp_directory_path() /
                   ("qx_cli_declaration_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dossier_);
        fs::create_directories(dossier_);
    }
    void TearDown() override { fs::remove_all(dossier_); }

    // Runs qxtva with the outbox inside the test's folder.
    Execution qxtva(const std::string& arguments) {
        const fs::path sortie = dossier_ / "stdout", erreurs = dossier_ / "stderr";
        const std::string commande = "ARDILO_OUTBOX='" + boite().string() + "' '" + kQxtva + "' " +
                                     arguments + " >'" + sortie.string() + "' 2>'" +
                                     erreurs.string() + "'";
        const int statut = std::system(commande.c_str());
        return {WIFEXITED(statut) ? WEXITSTATUS(statut) : -1, lire(sortie), lire(erreurs)};
    }
    fs::path boite() const { return dossier_ / "envoi"; }
    std::string fichier(std::string_view nom, std::string_view contenu) {
        std::ofstream(dossier_ / nom, std::ios::binary) << contenu;
        return (dossier_ / nom).string();
    }
    static std::string echantillon(const std::string& annee, const std::string& options = {}) {
        return "--donnees " + kSamples + "/" + annee + "/donnees.xml --rubriques " + kSamples +
               "/" + annee + "/rubriques.xml " + options;
    }
    std::string declarer(const std::string& annee, const std::string& dossier) {
        return "declarer --dossier " + dossier + " " +
               echantillon(annee, "--resultat " + (dossier_ / "r.xml").string()) +
               " --date-jour 2026-12-05";
    }

    fs::path dossier_;
};

TEST_F(DeclarationCliTest, RoundTripOfBothSamples) {
    Execution ca3 = qxtva(declarer("ca3", kSamples + "/ca3/dossier.xml"));
    const std::string depot3 = (boite() / "ARD-20261205-0001.xml").string();
    ASSERT_EQ(ca3.code, 0) << ca3.erreurs;
    EXPECT_EQ(ca3.sortie, "Dépôt ARD-20261205-0001 accepté : " + depot3 + "\n");
    EXPECT_EQ(ca3.erreurs, "");

    Execution ca12 = qxtva(declarer("ca12", kSamples + "/ca12/dossier.xml"));
    const std::string depot12 = (boite() / "ARD-20261205-0002.xml").string();
    ASSERT_EQ(ca12.code, 0) << ca12.erreurs;

    // What was stored reads back: figures, instalment boxes, payments.
    struct Attendu {
        std::string arguments;
        std::vector<std::string> lignes;  // substrings, each on one output line
    };
    const Attendu attendus[] = {
        {"pivot " + depot3, {"CA3         KE    Total à payer", "584", "CA3         GB", "2027"}},
        {"pivot " + depot3 + " --type CA3A", {"CA3A", "KJ", "150"}},
        {"pivot " + depot12 + " --type CA12",
         {"CA12        SC    TOTAL A PAYER", "CA12        UC", "2025", "CA12        TC"}},
        {"reglements " + depot3,
         {"Paiement 1 : mode 2, 0 virement(s), référence « REG1 »",
          "  Prélèvement 1 : 584, référence « REG1-PRL1 »",
          "IBAN FR7630002005500000157841Z25, BIC CRLYFRPP"}},
        {"reglements " + depot12,
         {"Prélèvement 2 : 43", "complément : compte secondaire", "titulaire : SARL Épicerie"}},
        {"montant " + echantillon("ca3"), {"584.0000"}},
        {"montant " + echantillon("ca12",
                                  "--type CA12 --acompte 1:780:0 --acompte 2:780:0 "
                                  "--acompte 3:780:0 --acompte 4:0:780"),
         {"143.0000"}},
    };
    for (const Attendu& a : attendus) {
        SCOPED_TRACE(a.arguments);
        Execution e = qxtva(a.arguments);
        EXPECT_EQ(e.code, 0) << e.erreurs;
        for (const std::string& l : a.lignes) EXPECT_NE(e.sortie.find(l), std::string::npos) << l;
    }
    EXPECT_EQ(qxtva("pivot " + depot12 + " --type CA3").sortie,
              "Aucun formulaire CA3 dans cette déclaration.\n");
}

TEST_F(DeclarationCliTest, BadInputGivesAFrenchMessageAndANonZeroExit) {
    const std::string dossierCa3 = kSamples + "/ca3/dossier.xml";
    struct Cas {
        std::string nom, arguments;
        int code;
        std::string message;
    };
    const Cas cas[] = {
        {"missing dossier", declarer("ca3", fichier("x", "") + "-absent"), 2,
         "-absent » : fichier introuvable"},
        {"broken dossier", declarer("ca3", fichier("d1.xml", "<DOSSIERTVA>")), 2,
         "lecture impossible (ligne"},
        {"misspelt attribute",
         declarer("ca3", fichier("d3.xml", "<DOSSIERTVA><REDEVABLE SIRT=\"1\"/></DOSSIERTVA>")), 2,
         "élément REDEVABLE : attribut inconnu « SIRT »"},
        {"bad amount",
         declarer("ca3", fichier("d4.xml",
                                 "<DOSSIERTVA><PAIEMENTS><PAIEMENT><PRELEVEMENT "
                                 "MONTANT=\"1,5\"/></PAIEMENT></PAIEMENTS></DOSSIERTVA>")),
         2, "valeur incorrecte « 1,5 » pour MONTANT"},
        {"period start missing",
         declarer("ca3", fichier("d5.xml",
                                 "<DOSSIERTVA><DECLARATION DATEFIN=\"2026-11-30\"/>"
                                 "</DOSSIERTVA>")),
         2, "Code de l'erreur : 13\n\nDescription de l'erreur : Incompatibilité de type"},
        {"missing data file",
         "declarer --dossier " + dossierCa3 + " --donnees absent.xml --rubriques " + kSamples +
             "/ca3/rubriques.xml --resultat r.xml",
         2,
         "Une erreur s'est produite lors du calcul des rubriques de la déclaration.\n\n"
         "Description de l'erreur :\n"},
        {"amount of a missing data file",
         "montant --donnees absent.xml --rubriques " + kSamples + "/ca3/rubriques.xml", 2,
         "erreur -2147220990 : "},
        {"pivot missing", "pivot absent.xml", 2, "fichier « absent.xml » introuvable"},
        {"pivot of a data file", "pivot " + kSamples + "/ca3/donnees.xml", 2,
         "n'est pas une déclaration lisible"},
        {"pivot without file", "pivot --type CA3", 64, "fichier pivot manquant"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Execution e = qxtva(c.arguments);
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.sortie, "");
        EXPECT_NE(e.erreurs.find(c.message), std::string::npos) << e.erreurs;
    }
    EXPECT_FALSE(fs::exists(boite())) << "nothing was deposited";
}

}  // namespace
