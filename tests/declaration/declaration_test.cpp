#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ardilo/produit_substitut.h"
#include "declaration/ardilo_produit.h"
#include "declaration/declaration_tva.h"
#include "platform/thread_state.h"

namespace qx {
namespace {

int32_t errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

TEST(DeclarationTvaTest, FreshObjectReadsDefaults) {
    Cls_DeclarationTVA d;
    EXPECT_EQ(d.vTypeDeclaration(), "CA3");
    EXPECT_EQ(d.vOpCoCode(), "0");
    EXPECT_EQ(d.vNumDossier(), "");
    EXPECT_EQ(d.vCommentaires(), "");
    EXPECT_EQ(d.vDescription(), "");
    EXPECT_EQ(d.vNomDebiteur(), "");
    EXPECT_EQ(d.vSIRET(), "");
    EXPECT_EQ(d.DateDebutTexte(), "");
    EXPECT_EQ(d.DateFinTexte(), "");
    EXPECT_FALSE(d.TestFile());
    EXPECT_EQ(d.Obj_Paiements()->Count(), 0);
    EXPECT_EQ(d.Obj_Redevable()->vAdr_Numero(), 0);
    EXPECT_EQ(d.Get_VersionMin_ArdiloDirect(), "4.2.0.0");
}

TEST(DeclarationTvaTest, TextPropertiesKeepTheirOwnValues) {
    Cls_DeclarationTVA d;
    d.SetvNumDossier("N°1");
    d.SetvCommentaires("Commentaire");
    d.SetvDescription("Déclaration de mars");
    d.SetvNomDebiteur("Débiteur");
    d.SetvSIRET("12345678900011");
    d.SetvTestFile(true);
    EXPECT_EQ(d.vNumDossier(), "N°1");
    EXPECT_EQ(d.vCommentaires(), "Commentaire");
    EXPECT_EQ(d.vDescription(), "Déclaration de mars");
    EXPECT_EQ(d.vNomDebiteur(), "Débiteur");
    EXPECT_EQ(d.vSIRET(), "12345678900011");
    EXPECT_TRUE(d.TestFile());
}

TEST(DeclarationTvaTest, OpCoCodeConvertsTextToA16BitWhole) {
    struct Cas {
        const char* texte;
        int32_t erreur;
        const char* lu;  // after a first value of "7"
    };
    const Cas cas[] = {
        {"12", 0, "12"},
        {" -32768 ", 0, "-32768"},
        {"32767", 0, "32767"},
        {"2.5", 0, "2"},  // halves go to the even neighbour
        {"3.5", 0, "4"},
        {"abc", err::TypeIncompatible, "7"},
        {"", err::TypeIncompatible, "7"},
        {"40000", err::Depassement, "7"},
        {"-32769", err::Depassement, "7"},
    };
    for (const auto& c : cas) {
        Cls_DeclarationTVA d;
        d.SetvOpCoCode("7");
        EXPECT_EQ(errorOf([&] { d.SetvOpCoCode(c.texte); }), c.erreur) << c.texte;
        EXPECT_EQ(d.vOpCoCode(), c.lu) << c.texte;
        EXPECT_EQ(d.OpCoCode(), std::stoi(c.lu)) << c.texte;
    }
}

TEST(DeclarationTvaTest, PeriodDatesAreKeptAsTextsThatReadBackAsTheSameDay) {
    struct Cas {
        const char* quoi;
        Value valeur;
        int32_t erreur;
        const char* texte;
    };
    const Cas cas[] = {
        {"a date", Value(fromCivil(2024, 6, 30)), 0, "30/06/2024"},
        {"a date with a time", Value(Date{fromCivil(2024, 2, 29).serial + 0.5}), 0, "29/02/2024"},
        {"a French text", Value("01/03/2024"), 0, "01/03/2024"},
        {"an ISO text", Value("2024-12-31"), 0, "31/12/2024"},
        {"a day count", Value(45000.0), 0, "15/03/2023"},
        {"the first day", Value(fromCivil(100, 1, 1)), 0, "01/01/0100"},
        {"not a date", Value("fin juin"), err::TypeIncompatible, "01/01/2020"},
        {"an empty text", Value(""), err::TypeIncompatible, "01/01/2020"},
        {"beyond year 9999", Value(3e6), err::Depassement, "01/01/2020"},
    };
    for (const auto& c : cas) {
        Cls_DeclarationTVA d;
        d.SetvDate_Debut(Value("01/01/2020"));
        d.SetvDate_Fin(Value("01/01/2020"));
        EXPECT_EQ(errorOf([&] { d.SetvDate_Debut(c.valeur); }), c.erreur) << c.quoi;
        EXPECT_EQ(errorOf([&] { d.SetvDate_Fin(c.valeur); }), c.erreur) << c.quoi;
        EXPECT_EQ(d.DateDebutTexte(), c.texte) << c.quoi;
        EXPECT_EQ(d.DateFinTexte(), c.texte) << c.quoi;
        auto relue = parseDateText(d.DateFinTexte());
        ASSERT_TRUE(relue.has_value()) << c.quoi;
        if (c.erreur == 0) {
            EXPECT_EQ(*relue, datePart(c.valeur.toDate())) << c.quoi;
        }
    }
}

TEST(DeclarationTvaTest, OwnedRecordsAreTheSameObjectsEveryTime) {
    Cls_DeclarationTVA d;
    EXPECT_EQ(d.Obj_Emetteur(), d.Obj_Emetteur());
    EXPECT_EQ(d.Obj_Redacteur(), d.Obj_Redacteur());
    EXPECT_EQ(d.Obj_Redevable(), d.Obj_Redevable());
    d.Obj_Paiements()->Add(1, "mars");
    EXPECT_EQ(d.Obj_Paiements()->Count(), 1);
    d.Obj_Redevable()->SetvNomSociete("Forêts");
    EXPECT_EQ(d.Obj_Redevable()->vNomSociete(), "Forêts");

    // Two declarations own different records.
    Cls_DeclarationTVA autre;
    EXPECT_NE(autre.Obj_Paiements(), d.Obj_Paiements());
    EXPECT_EQ(autre.Obj_Paiements()->Count(), 0);
}

TEST(DeclarationTvaTest, RecordsOutliveTheDeclarationOnlyWhileHeld) {
    std::shared_ptr<Cls_Paiements> tenus;
    std::weak_ptr<Cls_Emetteur> lache;
    {
        Cls_DeclarationTVA d;
        tenus = d.Obj_Paiements();
        lache = d.Obj_Emetteur();
    }
    EXPECT_TRUE(lache.expired());
    EXPECT_EQ(tenus->Count(), 0);
}

TEST(DeclarationTvaTest, DeclarationTypeAndInstalmentsAreSharedByTheThread) {
    Cls_DeclarationTVA premier;
    premier.SetvTypeDeclaration("ca12");
    EXPECT_EQ(premier.vTypeDeclaration(), "ca12");  // stored as given
    premier.SetvTypeDeclaration("CA12");
    premier.Acompte_Ajouter(2, 100, 50);
    premier.Acompte_Ajouter(2, 120, 30);
    premier.Acompte_Ajouter(4, -1.5, 0.125);
    EXPECT_EQ(TypeDeclarationCourant(), "CA12");
    EXPECT_EQ(Acomptes()[2].MtPaye, 120);
    EXPECT_EQ(Acomptes()[2].MtRestant, 30);
    EXPECT_EQ(Acomptes()[4].MtPaye, -1.5);
    EXPECT_EQ(Acomptes()[4].MtRestant, 0.125);

    // Numbers outside 1..4 change nothing.
    TableAcomptes avant = Acomptes();
    for (int16_t n : {int16_t{0}, int16_t{5}, int16_t{-1}, int16_t{32767}})
        premier.Acompte_Ajouter(n, 999, 999);
    for (size_t i = 0; i < avant.size(); ++i) {
        EXPECT_EQ(Acomptes()[i].MtPaye, avant[i].MtPaye) << i;
        EXPECT_EQ(Acomptes()[i].MtRestant, avant[i].MtRestant) << i;
    }

    // Another thread has its own values.
    std::string typeAilleurs = "?";
    double acompteAilleurs = -1;
    std::thread([&] {
        typeAilleurs = TypeDeclarationCourant();
        acompteAilleurs = Acomptes()[2].MtPaye;
    }).join();
    EXPECT_EQ(typeAilleurs, "");
    EXPECT_EQ(acompteAilleurs, 0);

    // A new declaration resets both for every declaration of the thread.
    Cls_DeclarationTVA second;
    EXPECT_EQ(premier.vTypeDeclaration(), "CA3");
    EXPECT_EQ(second.vTypeDeclaration(), "CA3");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(Acomptes()[static_cast<size_t>(i)].MtPaye, 0) << i;
        EXPECT_EQ(Acomptes()[static_cast<size_t>(i)].MtRestant, 0) << i;
    }
}

TEST(DeclarationTvaTest, FormNamesOfTypeCodes) {
    const std::pair<int32_t, const char*> cas[] = {
        {0, "CA3"}, {1, ""},      {2, "CA3A"}, {3, ""},  {4, "CA12"}, {5, "CA12E"},
        {6, ""},    {7, "CA12A"}, {8, ""},     {-1, ""}, {65536, ""},
    };
    for (const auto& [code, nom] : cas) EXPECT_EQ(Nom_Formulaire(code), nom) << code;
}

// ---- The transmission product seen from the declaration ----

TEST(DeclarationTvaTest, ConnectorIsMadeAndSetUpForTheVatModule) {
    Cls_DeclarationTVA d;
    auto connecteur = std::dynamic_pointer_cast<ardilo::ConnecteurSubstitut>(d.ArdiloDirect());
    ASSERT_NE(connecteur, nullptr);
    EXPECT_EQ(connecteur->lancement(), "launchArgs");
    EXPECT_EQ(connecteur->module(), "EdiVat");
    EXPECT_TRUE(connecteur->EstPret());
    EXPECT_EQ(d.ArdiloDirect(), connecteur);

    d.SetArdiloDirect(nullptr);
    EXPECT_EQ(d.ArdiloDirect(), nullptr);
    auto autre = std::make_shared<ardilo::ConnecteurSubstitut>();
    d.SetArdiloDirect(autre);
    EXPECT_EQ(d.ArdiloDirect(), autre);
}

TEST(DeclarationTvaTest, VersionCheckTellsWhetherTheVatComponentIsThere) {
    Cls_DeclarationTVA d;
    EXPECT_TRUE(d.Verif_Version_Compatible());

    auto produit = std::make_shared<ardilo::ProduitSubstitut>();
    produit->RendreIndisponible(kComposantTva);
    ProduitTemporaire installe(produit);
    bool compatible = true;
    EXPECT_EQ(errorOf([&] { compatible = d.Verif_Version_Compatible(); }), 0);
    EXPECT_FALSE(compatible);
    EXPECT_EQ(d.Get_VersionMin_ArdiloDirect(), "4.2.0.0");
    // The rest of the product is still there.
    EXPECT_NE(CreerDeclarationEdi(), nullptr);
    EXPECT_EQ(errorOf([] { CreerObjetArdilo(kComposantTva); }), err::CreationObjet);
}

// A product whose connector reports its set-up calls, and can refuse them.
struct Journal {
    std::vector<std::string> appels;
    bool refuser = false;
};

class ConnecteurEspion : public Connecteur {
  public:
    explicit ConnecteurEspion(std::shared_ptr<Journal> j) : journal_(std::move(j)) {}
    void DefinirLancement(const std::string& a) override { note("lancement " + a); }
    void DefinirModule(const std::string& m) override { note("module " + m); }
    bool EstPret() override { return false; }
    std::shared_ptr<TransfertEdi> Transfert() override { return nullptr; }

  private:
    void note(std::string appel) {
        journal_->appels.push_back(std::move(appel));
        if (journal_->refuser) throw Error(hresult(0x80041999), "Refus du service");
    }
    std::shared_ptr<Journal> journal_;
};

class ProduitEspion : public ProduitArdilo {
  public:
    explicit ProduitEspion(std::shared_ptr<Journal> j) : journal_(std::move(j)) {}
    ObjectRef CreerObjet(std::string_view classe) override {
        journal_->appels.push_back("création " + std::string(classe));
        if (classe == kClasseConnecteur) return std::make_shared<ConnecteurEspion>(journal_);
        if (classe == kClasseDeclarationEdi)
            return std::make_shared<Cls_Rib>();  // not a declaration
        throw Error::runtime(err::CreationObjet);
    }

  private:
    std::shared_ptr<Journal> journal_;
};

TEST(DeclarationTvaTest, CreationGoesThroughTheInstalledProductInOrder) {
    auto journal = std::make_shared<Journal>();
    ProduitTemporaire installe(std::make_shared<ProduitEspion>(journal));
    Cls_DeclarationTVA d;
    EXPECT_EQ(journal->appels, (std::vector<std::string>{"création Qx_Ardilodirect.Connecteur",
                                                         "lancement launchArgs", "module EdiVat"}));
    EXPECT_NE(std::dynamic_pointer_cast<ConnecteurEspion>(d.ArdiloDirect()), nullptr);
    // An object of the wrong kind is as good as none.
    EXPECT_EQ(errorOf([] { CreerDeclarationEdi(); }), err::CreationObjet);
}

TEST(DeclarationTvaTest, CreationFailsWhenTheConnectorCannotBeMadeOrSetUp) {
    struct Cas {
        const char* quoi;
        std::function<std::shared_ptr<ProduitArdilo>()> produit;
        int32_t erreur;
    };
    const Cas cas[] = {
        {"connector class missing",
         [] {
             auto p = std::make_shared<ardilo::ProduitSubstitut>();
             p->RendreIndisponible(kClasseConnecteur);
             return p;
         },
         err::CreationObjet},
        {"set-up refused",
         [] {
             auto journal = std::make_shared<Journal>();
             journal->refuser = true;
             return std::make_shared<ProduitEspion>(journal);
         },
         hresult(0x80041999)},
    };
    for (const auto& c : cas) {
        Cls_DeclarationTVA avant;
        avant.SetvTypeDeclaration("CA12");
        avant.Acompte_Ajouter(1, 10, 0);
        ProduitTemporaire installe(c.produit());
        EXPECT_EQ(errorOf([] { Cls_DeclarationTVA d; }), c.erreur) << c.quoi;
        // A creation that failed has not touched the thread's values.
        EXPECT_EQ(TypeDeclarationCourant(), "CA12") << c.quoi;
        EXPECT_EQ(Acomptes()[1].MtPaye, 10) << c.quoi;
    }
    // Once the product is back, creation works again.
    Cls_DeclarationTVA d;
    EXPECT_NE(d.ArdiloDirect(), nullptr);
}

}  // namespace
}  // namespace qx
