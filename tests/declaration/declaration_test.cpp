#include <gtest/gtest.h>

#include <thread>

#include "ardilo/produit_substitut.h"
#include "declaration/ardilo_produit.h"
#include "declaration/declaration_tva.h"
#include "platform/thread_state.h"
#include "support/outils.h"

namespace qx {
namespace {

using test::errorOf;

// The conversions themselves belong to Value; here, what the declaration keeps.
TEST(DeclarationTvaTest, OpCoCodeAndPeriodDatesKeepTheirLastGoodValue) {
    Cls_DeclarationTVA d;
    EXPECT_EQ(d.vOpCoCode(), "0");
    EXPECT_EQ(d.DateDebutTexte(), "");
    const std::tuple<const char*, int32_t, const char*> codes[] = {
        {" -32768 ", 0, "-32768"},
        {"abc", err::TypeIncompatible, "-32768"},
        {"40000", err::Depassement, "-32768"},
    };
    for (const auto& [texte, erreur, lu] : codes) {
        EXPECT_EQ(errorOf([&] { d.SetvOpCoCode(texte); }), erreur) << texte;
        EXPECT_EQ(d.vOpCoCode(), lu) << texte;
    }
    // Dates are kept as texts without their time, that read back as the same day.
    const std::tuple<Value, int32_t, const char*> dates[] = {
        {Value(Date{fromCivil(2024, 2, 29).serial + 0.5}), 0, "29/02/2024"},
        {Value("2024-12-31"), 0, "31/12/2024"},
        {Value(fromCivil(100, 1, 1)), 0, "01/01/0100"},
        {Value("fin juin"), err::TypeIncompatible, "01/01/0100"},
        {Value(3e6), err::Depassement, "01/01/0100"},
    };
    for (const auto& [valeur, erreur, texte] : dates) {
        SCOPED_TRACE(texte);
        EXPECT_EQ(errorOf([&] { d.SetvDate_Debut(valeur); }), erreur);
        EXPECT_EQ(errorOf([&] { d.SetvDate_Fin(valeur); }), erreur);
        EXPECT_EQ(d.DateDebutTexte(), texte);
        EXPECT_EQ(d.DateFinTexte(), texte);
        if (erreur == 0) {
            EXPECT_EQ(parseDateText(d.DateFinTexte()), datePart(valeur.toDate()));
        }
    }
}

TEST(DeclarationTvaTest, RecordsOutliveTheDeclarationOnlyWhileHeld) {
    std::shared_ptr<Cls_Paiements> tenus;
    std::weak_ptr<Cls_Emetteur> lache;
    {
        Cls_DeclarationTVA d;
        d.Obj_Paiements()->Add(1, "mars");
        tenus = d.Obj_Paiements();
        lache = d.Obj_Emetteur();
    }
    EXPECT_TRUE(lache.expired());
    EXPECT_EQ(tenus->Count(), 1);
}

TEST(DeclarationTvaTest, DeclarationTypeAndInstalmentsAreSharedByTheThread) {
    Cls_DeclarationTVA premier;
    EXPECT_EQ(premier.vTypeDeclaration(), "CA3");
    premier.SetvTypeDeclaration("ca12");
    EXPECT_EQ(premier.vTypeDeclaration(), "ca12");  // stored as given
    premier.SetvTypeDeclaration("CA12");
    premier.Acompte_Ajouter(2, 100, 50);
    premier.Acompte_Ajouter(2, 120, 30);
    premier.Acompte_Ajouter(4, -1.5, 0.125);
    // Numbers outside 1..4 change nothing.
    for (int16_t n : {0, 5, -1, 32767}) premier.Acompte_Ajouter(n, 999, 999);
    auto acomptes = [] {
        std::vector<double> v;
        for (const auto& a : Acomptes()) v.insert(v.end(), {a.MtPaye, a.MtRestant});
        return v;
    };
    EXPECT_EQ(TypeDeclarationCourant(), "CA12");
    EXPECT_EQ(acomptes(), (std::vector<double>{0, 0, 0, 0, 120, 30, 0, 0, -1.5, 0.125}));

    // Another thread has its own values.
    const std::vector<double> zeros(10, 0.0);
    std::vector<double> ailleurs;
    std::string typeAilleurs = "?";
    std::thread([&] {
        ailleurs = acomptes();
        typeAilleurs = TypeDeclarationCourant();
    }).join();
    EXPECT_EQ(typeAilleurs, "");
    EXPECT_EQ(ailleurs, zeros);

    // A new declaration resets both for every declaration of the thread.
    Cls_DeclarationTVA second;
    EXPECT_EQ(premier.vTypeDeclaration(), "CA3");
    EXPECT_EQ(acomptes(), zeros);
}

TEST(DeclarationTvaTest, FormNamesOfTypeCodes) {
    std::string noms;
    for (int32_t code : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 65536}) noms += Nom_Formulaire(code) + ",";
    EXPECT_EQ(noms, ",CA3,,CA3A,,CA12,CA12E,,CA12A,,,");
}

TEST(DeclarationTvaTest, VersionCheckLooksForTheVatComponent) {
    Cls_DeclarationTVA d;
    EXPECT_TRUE(d.Verif_Version_Compatible());

    auto produit = std::make_shared<ardilo::ProduitSubstitut>();
    produit->RendreIndisponible(kComposantTva);
    ProduitTemporaire installe(produit);
    bool compatible = true;
    EXPECT_EQ(errorOf([&] { compatible = d.Verif_Version_Compatible(); }), 0);
    EXPECT_FALSE(compatible);
    EXPECT_EQ(d.Get_VersionMin_ArdiloDirect(), "4.2.0.0");
    EXPECT_NE(CreerDeclarationEdi(), nullptr) << "the rest of the product is still there";
}

// A product whose connector reports its set-up calls, and can refuse them.
struct Journal {
    std::vector<std::string> appels;
    bool refuser = false;
    void note(std::string appel) {
        appels.push_back(std::move(appel));
        if (refuser) throw Error(hresult(0x80041999), "Refus du service");
    }
};

struct ConnecteurEspion : Connecteur {
    explicit ConnecteurEspion(std::shared_ptr<Journal> j) : journal(std::move(j)) {}
    void DefinirLancement(const std::string& a) override { journal->note("lancement " + a); }
    void DefinirModule(const std::string& m) override { journal->note("module " + m); }
    bool EstPret() override { return false; }
    std::shared_ptr<TransfertEdi> Transfert() override { return nullptr; }
    std::shared_ptr<Journal> journal;
};

struct ProduitEspion : ProduitArdilo {
    explicit ProduitEspion(std::shared_ptr<Journal> j) : journal(std::move(j)) {}
    ObjectRef CreerObjet(std::string_view classe) override {
        journal->appels.push_back("création " + std::string(classe));
        if (classe == kClasseConnecteur) return std::make_shared<ConnecteurEspion>(journal);
        if (classe == kClasseDeclarationEdi) return std::make_shared<Cls_Rib>();  // wrong kind
        throw Error::runtime(err::CreationObjet);
    }
    std::shared_ptr<Journal> journal;
};

TEST(DeclarationTvaTest, CreationGoesThroughTheInstalledProductAndFailsCleanly) {
    auto journal = std::make_shared<Journal>();
    {
        ProduitTemporaire installe(std::make_shared<ProduitEspion>(journal));
        Cls_DeclarationTVA d;
        EXPECT_EQ(journal->appels,
                  (std::vector<std::string>{"création Qx_Ardilodirect.Connecteur",
                                            "lancement launchArgs", "module EdiVat"}));
        EXPECT_NE(std::dynamic_pointer_cast<ConnecteurEspion>(d.ArdiloDirect()), nullptr);
        // An object of the wrong kind is as good as none.
        EXPECT_EQ(errorOf([] { CreerDeclarationEdi(); }), err::CreationObjet);
    }
    auto sansConnecteur = std::make_shared<ardilo::ProduitSubstitut>();
    sansConnecteur->RendreIndisponible(kClasseConnecteur);
    journal->refuser = true;
    const std::pair<std::shared_ptr<ProduitArdilo>, int32_t> cas[] = {
        {sansConnecteur, err::CreationObjet},
        {std::make_shared<ProduitEspion>(journal), hresult(0x80041999)},  // set-up refused
    };
    for (const auto& [produit, erreur] : cas) {
        Cls_DeclarationTVA avant;
        avant.SetvTypeDeclaration("CA12");
        ProduitTemporaire installe(produit);
        EXPECT_EQ(errorOf([] { Cls_DeclarationTVA d; }), erreur);
        // A creation that failed has not touched the thread's values.
        EXPECT_EQ(TypeDeclarationCourant(), "CA12");
    }
}

}  // namespace
}  // namespace qx
