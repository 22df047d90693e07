#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "ardilo/produit_substitut.h"
#include "declaration/declaration_interne.h"
#include "declaration/declaration_tva.h"
#include "engine/declaration_courante.h"
#include "support/outils.h"
#include "transmission/ardilo_produit.h"

namespace qx {
namespace {

using test::errorOf;

// The stand-in, whatever the platform's product: these tests are about the
// declaration object, not about the product installed on the machine.
struct AvecSubstitut {
    ProduitTemporaire installe{std::make_shared<ardilo::ProduitSubstitut>()};
};

// The conversions themselves belong to Value; here, what the declaration keeps.
TEST(DeclarationTvaTest, OpCoCodeAndPeriodDatesKeepTheirLastGoodValue) {
    AvecSubstitut substitut;
    Cls_DeclarationTVA d;
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
        {Value("fin juin"), err::TypeIncompatible, "29/02/2024"},
    };
    for (const auto& [valeur, erreur, texte] : dates) {
        EXPECT_EQ(errorOf([&] { d.SetvDate_Debut(valeur); }), erreur) << texte;
        EXPECT_EQ(errorOf([&] { d.SetvDate_Fin(valeur); }), erreur) << texte;
        EXPECT_EQ(DeclarationInterne::DateDebutTexte(d) + " " + DeclarationInterne::DateFinTexte(d),
                  std::string(texte) + " " + texte);
    }
}

TEST(DeclarationTvaTest, DeclarationTypeAndInstalmentsAreSharedByTheThread) {
    AvecSubstitut substitut;
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

// A product whose declarations are of the wrong kind.
struct ProduitDefaillant : ardilo::ProduitSubstitut {
    ObjectRef CreerObjet(std::string_view classe) override {
        if (classe == kClasseDeclarationEdi) return std::make_shared<Cls_Rib>();
        return ardilo::ProduitSubstitut::CreerObjet(classe);
    }
};

TEST(DeclarationTvaTest, CreationGoesThroughTheInstalledProductAndFailsCleanly) {
    AvecSubstitut substitut;
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
    }
    auto sansConnecteur = std::make_shared<ardilo::ProduitSubstitut>();
    sansConnecteur->RendreIndisponible(kClasseConnecteur);
    Cls_DeclarationTVA avant;
    avant.SetvTypeDeclaration("CA12");
    ProduitTemporaire installe(sansConnecteur);
    EXPECT_EQ(errorOf([] { Cls_DeclarationTVA d; }), err::CreationObjet);
    // A creation that failed has not touched the thread's values.
    EXPECT_EQ(TypeDeclarationCourant(), "CA12");
}

}  // namespace
}  // namespace qx
