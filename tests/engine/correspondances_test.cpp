// The matching index against the direct walk over every account line: the
// same matches in the same order, hence bit-identical rubric values, on many
// generated parameter files and data lines.
#include "engine/correspondances.h"

#include <bit>
#include <random>

#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

using namespace test;

struct Generateur {
    std::mt19937 alea;
    int entre(int a, int b) { return std::uniform_int_distribution<int>(a, b)(alea); }
    const char* parmi(std::initializer_list<const char*> l) {
        return l.begin()[entre(0, int(l.size()) - 1)];
    }
    // Accounts from a few digits, so that prefixes meet often; one multibyte letter.
    std::string compte(int longueurMax) {
        if (entre(0, 9) == 0) return entre(0, 1) ? "é7" : "é71";
        std::string c;
        for (int n = entre(0, longueurMax); n > 0; --n) c += "4567"[entre(0, 3)];
        return c;
    }
    const char* taux() { return parmi({"9", "1", "01", "20", ""}); }
    const char* categorie() { return parmi({"9", "A", "B", ""}); }
    const char* signe() { return parmi({"1", "-1", "-1", "2", "", "-01"}); }
    std::string montant() {
        if (entre(0, 3) == 0) return parmi({"0", "abc", "-1 234,57", "12,5 EUR"});
        // Now and then an amount past 2^53, where the order of the additions
        // changes even the results rounded to whole units.
        const double borne = entre(0, 5) ? 5000 : 9e16;
        char texte[64];
        std::snprintf(texte, sizeof texte, "%.*f", entre(0, 4),
                      std::uniform_real_distribution<double>(-borne, borne)(alea));
        return texte;
    }
    std::string parametres(int nombre) {
        std::string xml = "<R><IMPRIME CODE='F'>";
        for (int i = 0; i < nombre; ++i) {
            xml += "<RUBRIQUE CODE='" + std::to_string(i) + "' TYPE='" +
                   parmi({"N", "N", "N", "T"}) + "' CONDITION='" + parmi({"", "", "POSITIF"}) +
                   "'>";
            for (int l = entre(0, 4); l > 0; --l)
                xml += "<LIGNE COMPTE='" + compte(4) + "' TYPETAUX='" + taux() + "' CATEGORIEAV='" +
                       categorie() + "' SENS='" + signe() + "' TYPECUMUL='" + signe() + "'/>";
            // Towards later rubrics only: chains, never cycles.
            for (int n = entre(0, 2); n > 0 && i + 1 < nombre; --n)
                xml += "<DEPENDANCE CODEIMPRIME='f' CODERUBRIQUE='" +
                       std::to_string(entre(i + 1, nombre - 1)) + "' SENS='" + signe() + "'/>";
            xml += "</RUBRIQUE>";
        }
        return xml + "</IMPRIME></R>";
    }
};

// The matches spelled out from the rules, in walk order.
std::vector<Correspondance> attendues(const CRubriques& rubriques, const std::string& compte,
                                      std::string_view taux, std::string_view categorie) {
    std::vector<Correspondance> out;
    for (const auto& r : rubriques.NewEnum())
        for (const auto& l : r->LignesRubrique()->NewEnum())
            if (RubriqueInterne::TypeRubrique(*r) == EnumRubrType_Nombre &&
                (l->CategorieAV == "9" || l->CategorieAV == categorie) &&
                compte.starts_with(l->Compte) && (l->TypeTaux == "9" || l->TypeTaux == taux))
                out.push_back({r.get(), l->TypeCumul, l->Sens});
    return out;
}

// The data line added by walking every account line of every rubric: the
// reference the data pass is checked against.
void cumulerDirect(const CRubriques& rubriques, const std::string& compte, std::string_view taux,
                   std::string_view categorie, std::string_view montantTexte) {
    for (const Correspondance& c : attendues(rubriques, compte, taux, categorie)) {
        const double montant = TexteVersNombre(montantTexte);
        if (MontantRetenu(montant, c.sens))
            RubriqueInterne::AjouterValeur(*c.rubrique, MontantCumule(montant, c.typeCumul));
    }
}

// A rubric's value kind and, for a double, its bits.
std::string empreinte(const CRubrique& r) {
    const Value v = r.Valeur();
    return std::to_string(static_cast<int>(v.kind())) + ":" +
           (v.kind() == ValueKind::Double ? std::to_string(std::bit_cast<uint64_t>(v.doubleValue()))
                                          : "");
}

TEST(IndexCorrespondancesTest, SameMatchesAndWholeDataPassGivesTheDirectWalksBits) {
    // Init (index, additions on a worker, propagation plans) against the
    // direct walk of the same lines, both followed by the two rounding passes.
    DossierTemporaire d;
    DefinirTypeDeclaration("CA12A");  // no credit taken, no check run
    size_t additions = 0;
    for (uint32_t graine = 1; graine <= 6; ++graine) {
        Generateur g{std::mt19937(graine)};
        const std::string xml = g.parametres(g.entre(1, 60));
        auto direct = charger(d, xml);
        IndexCorrespondances index(*direct->Rubriques());
        std::string donnees = "<D>";
        for (int n = 0; n < 3000; ++n) {
            const std::string compte = g.compte(6), montant = g.montant();
            const std::string taux = g.taux(), categorie = g.entre(0, 5) ? g.categorie() : "X";
            // Lines met again are answered from what the index remembers.
            const auto& trouvees = index.Correspondances(compte, taux, categorie);
            ASSERT_EQ(trouvees, attendues(*direct->Rubriques(), compte, taux, categorie))
                << graine << " '" << compte << "'";
            additions += trouvees.size();
            donnees += "<LIGNE COMPTE='" + compte + "' TYPETAUX='" + taux + "' CATEGORIEAV='" +
                       categorie + "' MONTANT='" + montant + "'/>";
            cumulerDirect(*direct->Rubriques(), compte, taux, categorie, montant);
        }
        for (const auto& r : direct->Rubriques()->NewEnum())
            if (r->LignesRubrique()->Count() > 0) r->Arrondir(true);
        for (const auto& r : direct->Rubriques()->NewEnum()) r->Arrondir(false);

        auto moteur = CCalculTVA::Creer();
        moteur->Init(d.ecrire("d.xml", donnees + "</D>"), d.ecrire("p.xml", xml), "");
        const auto a = direct->Rubriques()->NewEnum(), b = moteur->Rubriques()->NewEnum();
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(empreinte(*a[i]), empreinte(*b[i])) << graine << " " << a[i]->KeyRubrique();
    }
    EXPECT_GT(additions, 10000u);  // the generated data really feeds rubrics
    DefinirTypeDeclaration("");
}

TEST(IndexCorrespondancesTest, MemoStaysBoundedOnEndlesslyNewRateTypes) {
    DossierTemporaire d;
    auto moteur = charger(d,
                          "<R><IMPRIME CODE='F'><RUBRIQUE CODE='A'><LIGNE COMPTE='4' "
                          "TYPETAUX='9' CATEGORIEAV='9'/></RUBRIQUE><RUBRIQUE CODE='B'>"
                          "<LIGNE TYPETAUX='9' CATEGORIEAV='9' SENS='-1' TYPECUMUL='-1'/>"
                          "</RUBRIQUE></IMPRIME></R>");
    IndexCorrespondances index(*moteur->Rubriques());
    const size_t n = IndexCorrespondances::kMemoMaxCles + 50;
    for (size_t i = 0; i < n; ++i) {
        const std::string c = std::to_string(i), avant = std::to_string(i - 1);
        index.PourChaqueCumul(c, "T" + c, "", "-1",
                              [](CRubrique& r, double m) { RubriqueInterne::AjouterValeur(r, m); });
        ASSERT_LE(index.TailleMemo(), IndexCorrespondances::kMemoMaxCles);
        // Right after the fresh start, the line before it is looked up anew.
        if (i == IndexCorrespondances::kMemoMaxCles) {
            ASSERT_EQ(index.Correspondances(avant, "T" + avant, "").size(), 1u);
        }
    }
    // Every line fed B once, before and after the memo started afresh; it now
    // holds the 50 lines after the fresh start and the line looked up again.
    EXPECT_EQ(moteur->Rubriques()->Item(Value("FB"))->AsDouble(), -double(n));
    EXPECT_EQ(index.TailleMemo(), 51u);
}

}  // namespace
}  // namespace qx
