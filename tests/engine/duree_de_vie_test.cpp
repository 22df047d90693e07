// Lifetimes as hosts make them: the engine, its collection, a rubric, its
// dependency lines, one line and that line's target, released in every
// order, each object still held used after every release. Every call either
// works or raises a numbered error; the sanitize build catches any access
// to an object already gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/rubriques.h"
#include "support/outils.h"

namespace qx {
namespace {

using namespace test;

const std::string kSamples = QX_SAMPLES_DIR;

// A small chain, so that the 720 orders stay quick under memcheck: A is
// fed by the sales account and feeds B, which feeds C.
const char* const kChaine =
    "<RUBRIQUESTVA><IMPRIME CODE='CA3'>"
    "<RUBRIQUE CODE='A' TYPE='N'><LIGNE COMPTE='7011' TYPETAUX='9' CATEGORIEAV='9'/>"
    "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='B'/></RUBRIQUE>"
    "<RUBRIQUE CODE='B' TYPE='N'><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='C'/></RUBRIQUE>"
    "<RUBRIQUE CODE='C' TYPE='N'/></IMPRIME></RUBRIQUESTVA>";

struct Tenus {
    std::shared_ptr<CCalculTVA> moteur;
    std::shared_ptr<CRubriques> rubriques;
    std::shared_ptr<CRubrique> rubrique;  // one with dependency lines
    std::shared_ptr<CLignesDependance> dependances;
    std::shared_ptr<CLigneDependance> dependance;
    std::shared_ptr<CRubrique> cible;
};

// Each call works or raises a qx::Error; anything else fails the test.
void essayer(const char* quoi, const std::function<void()>& appel) {
    try {
        appel();
    } catch (const Error&) {
    } catch (const std::exception& e) {
        ADD_FAILURE() << quoi << " : " << e.what();
    }
}

void utiliserRubrique(CRubrique& r) {
    essayer("Valeur", [&] { (void)r.Valeur(); });
    essayer("SetValeur", [&] { r.SetValeur(Value(1234.5)); });
    essayer("SetAsXML", [&] { r.SetAsXML("77"); });
    essayer("ForceValeur", [&] { r.ForceValeur(Value(12)); });
    essayer("Arrondir", [&] { r.Arrondir(true); });
    essayer("textes", [&] { (void)(r.AsXML() + r.AsString() + r.KeyRubrique()); });
    essayer("CalculTVA", [&] { (void)r.CalculTVA(); });
    essayer("LignesRubrique", [&] { (void)r.LignesRubrique()->Count(); });
}

void utiliser(const Tenus& t) {
    if (t.moteur) {
        essayer("moteur Rubriques", [&] { (void)t.moteur->Rubriques()->Count(); });
        essayer("moteur Archive", [&] { t.moteur->Archive(); });
    }
    if (t.rubriques) {
        essayer("collection", [&] {
            (void)t.rubriques->Count();
            (void)t.rubriques->IsKeyExist("CA3GP");
            for (const auto& r : t.rubriques->NewEnum()) (void)r->AsXML();
            if (auto moteur = t.rubriques->CalculTVA()) (void)moteur->Archive();
        });
    }
    if (t.rubrique) utiliserRubrique(*t.rubrique);
    if (t.dependances) {
        essayer("lignes de dépendance", [&] {
            for (const auto& l : t.dependances->NewEnum())
                if (auto c = l->RubriqueDep()) c->SetValeur(Value(3));
            (void)t.dependances->Item(Value(1));
        });
    }
    if (t.dependance) {
        essayer("ligne de dépendance", [&] {
            if (auto c = t.dependance->RubriqueDep()) c->SetValeur(Value(4));
        });
    }
    if (t.cible) utiliserRubrique(*t.cible);
}

TEST(DureeDeVieTest, EveryReleaseOrderLeavesWhatIsHeldUsable) {
    DefinirTypeDeclaration("CA3");
    Acomptes() = {};
    DossierTemporaire dossier;
    const std::string resultat = (dossier / "resultat.xml").string();
    const std::string rubriques = dossier.ecrire("rubriques.xml", kChaine);
    const std::string donnees = dossier.ecrire(
        "donnees.xml", "<DONNEESTVA><LIGNE COMPTE='7011' MONTANT='5'/></DONNEESTVA>");
    std::array<int, 6> ordre{0, 1, 2, 3, 4, 5};
    int ordres = 0;
    do {
        Tenus t;
        t.moteur = CCalculTVA::Creer();
        t.moteur->Init(donnees, rubriques, resultat);
        t.rubriques = t.moteur->Rubriques();
        for (const auto& r : t.rubriques->NewEnum())
            if (r->LignesDependance()->Count() > 0) {
                t.rubrique = r;
                break;
            }
        ASSERT_TRUE(t.rubrique);
        t.dependances = t.rubrique->LignesDependance();
        t.dependance = t.dependances->Item(Value(1));
        t.cible = t.dependance->RubriqueDep();
        ASSERT_TRUE(t.cible);
        const std::function<void()> liberer[] = {
            [&] { t.moteur.reset(); },     [&] { t.rubriques.reset(); },
            [&] { t.rubrique.reset(); },   [&] { t.dependances.reset(); },
            [&] { t.dependance.reset(); }, [&] { t.cible.reset(); }};
        for (int quoi : ordre) {
            liberer[quoi]();
            utiliser(t);
        }
        ++ordres;
    } while (std::next_permutation(ordre.begin(), ordre.end()) && !HasFailure());
    EXPECT_EQ(ordres, 720);
}

// What a host may still ask of a rubric whose engine is gone, and what it gets.
TEST(DureeDeVieTest, ARubricOutlivesItsEngineWithItsValue) {
    DefinirTypeDeclaration("CA3");
    Acomptes() = {};
    DossierTemporaire dossier;
    auto moteur = CCalculTVA::Creer();
    moteur->Init(kSamples + "/ca3/donnees.xml", kSamples + "/ca3/rubriques.xml",
                 (dossier / "r.xml").string());
    std::shared_ptr<CRubrique> ke = moteur->Rubriques()->Item(Value("CA3KE"));
    ASSERT_TRUE(ke);
    const std::string avant = ke->AsXML();
    moteur.reset();
    EXPECT_EQ(ke->CalculTVA(), nullptr);
    EXPECT_EQ(ke->AsXML(), avant);
    ke->SetValeur(Value(10));
    EXPECT_EQ(ke->AsXML(), "10");
}

}  // namespace
}  // namespace qx
