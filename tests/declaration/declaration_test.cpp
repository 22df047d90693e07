#include <gtest/gtest.h>

#include <sstream>
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
    EXPECT_EQ(d.vOpCoCode() + d.DateDebutTexte(), "0");
    const std::tuple<const char*, int32_t, const char*> codes[] = {
        {" -32768 ", 0, "-32768"},
        {"abc", err::TypeIncompatible, "-32768"},
        {"40000", err::Depassement, "-32768"},
    };
    for (const auto& [texte, erreur, lu] : codes) {
        EXPECT_EQ(errorOf([&] { d.SetvOpCoCode(texte); }), erreur) << texte;
        EXPECT_EQ(d.vOpCoCode(), lu) << texte;
    }
    // Dates are kept as texts without their time.
    const std::tuple<Value, int32_t, const char*> dates[] = {
        {Value(Date{fromCivil(2024, 2, 29).serial + 0.5}), 0, "29/02/2024"},
        {Value(fromCivil(100, 1, 1)), 0, "01/01/0100"},
        {Value("fin juin"), err::TypeIncompatible, "01/01/0100"},
        {Value(3e6), err::Depassement, "01/01/0100"},
    };
    for (const auto& [valeur, erreur, texte] : dates) {
        EXPECT_EQ(errorOf([&] { d.SetvDate_Debut(valeur); }), erreur) << texte;
        EXPECT_EQ(errorOf([&] { d.SetvDate_Fin(valeur); }), erreur) << texte;
        EXPECT_EQ(d.DateDebutTexte() + " " + d.DateFinTexte(), std::string(texte) + " " + texte);
    }
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
    EXPECT_EQ(tenus.use_count(), 1);
}

TEST(DeclarationTvaTest, DeclarationTypeAndInstalmentsAreSharedByTheThread) {
    auto etat = [] {
        std::ostringstream s;
        s << TypeDeclarationCourant();
        for (const auto& a : Acomptes()) s << " " << a.MtPaye << "/" << a.MtRestant;
        return s.str();
    };
    const std::string neuf = "CA3 0/0 0/0 0/0 0/0 0/0";
    Cls_DeclarationTVA premier;
    premier.SetvTypeDeclaration("ca12");
    EXPECT_EQ(premier.vTypeDeclaration(), "ca12");  // stored as given
    premier.Acompte_Ajouter(2, 100, 50);
    premier.Acompte_Ajouter(2, 120, 30);
    premier.Acompte_Ajouter(4, -1.5, 0.125);
    for (int16_t n : {0, 5, -1, 32767}) premier.Acompte_Ajouter(n, 999, 999);  // ignored
    EXPECT_EQ(etat(), "ca12 0/0 0/0 120/30 0/0 -1.5/0.125");

    // Another thread has its own values.
    std::string ailleurs;
    std::thread([&] { ailleurs = etat(); }).join();
    EXPECT_EQ(ailleurs, neuf.substr(3));

    // A new declaration resets both for every declaration of the thread.
    Cls_DeclarationTVA second;
    EXPECT_EQ(premier.vTypeDeclaration() + etat().substr(3), neuf);
}

TEST(DeclarationTvaTest, FormNamesOfTypeCodes) {
    std::string noms;
    for (int32_t code : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 65536}) noms += Nom_Formulaire(code) + ",";
    EXPECT_EQ(noms, ",CA3,,CA3A,,CA12,CA12E,,CA12A,,,");
}

// A connector that refuses its set-up; the product's declarations are of the wrong kind.
struct ConnecteurRefusant : ardilo::ConnecteurSubstitut {
    void DefinirModule(const std::string&) override {
        throw Error(hresult(0x80041999), "Refus du service");
    }
};
struct ProduitDefaillant : ardilo::ProduitSubstitut {
    bool refuser = false;
    ObjectRef CreerObjet(std::string_view classe) override {
        if (classe == kClasseDeclarationEdi) return std::make_shared<Cls_Rib>();
        if (refuser) return std::make_shared<ConnecteurRefusant>();
        return ardilo::ProduitSubstitut::CreerObjet(classe);
    }
};

TEST(DeclarationTvaTest, CreationGoesThroughTheInstalledProductAndFailsCleanly) {
    auto defaillant = std::make_shared<ProduitDefaillant>();
    {
        ProduitTemporaire installe(defaillant);
        Cls_DeclarationTVA d;
        EXPECT_TRUE(d.ArdiloDirect()->EstPret());
        // An object of the wrong kind is as good as none.
        EXPECT_EQ(errorOf([] { CreerDeclarationEdi(); }), err::CreationObjet);
        // The version check only looks for the VAT component.
        EXPECT_TRUE(d.Verif_Version_Compatible());
        defaillant->RendreIndisponible(kComposantTva);
        bool compatible = true;
        EXPECT_EQ(errorOf([&] { compatible = d.Verif_Version_Compatible(); }), 0);
        EXPECT_FALSE(compatible);
        EXPECT_EQ(d.Get_VersionMin_ArdiloDirect(), "4.2.0.0");
    }
    auto sansConnecteur = std::make_shared<ardilo::ProduitSubstitut>();
    sansConnecteur->RendreIndisponible(kClasseConnecteur);
    defaillant->refuser = true;
    const std::pair<std::shared_ptr<ProduitArdilo>, int32_t> cas[] = {
        {sansConnecteur, err::CreationObjet},
        {defaillant, hresult(0x80041999)},
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
