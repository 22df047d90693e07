#include "generateur.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "platform/error.h"
#include "platform/xml_document.h"

namespace qx::bench {

uint64_t Aleatoire::suivant() {
    uint64_t z = (etat_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

// Buffered writer: files of a hundred megabytes are written in large blocks.
class Sortie {
public:
    explicit Sortie(const std::string& chemin)
        : chemin_(chemin), fichier_(std::fopen(chemin.c_str(), "wb"), std::fclose) {
        if (!fichier_)
            throw Error(err::AccesFichier,
                        "Erreur d'accès au chemin/fichier : impossible d'écrire '" + chemin + "'");
        tampon_.reserve(taille + 4096);
    }
    Sortie& operator<<(std::string_view s) {
        tampon_.append(s);
        if (tampon_.size() >= taille) vider();
        return *this;
    }
    Sortie& operator<<(char c) {
        tampon_.push_back(c);
        return *this;
    }
    uint64_t fermer() {
        vider();
        if (std::fflush(fichier_.get()) != 0 || std::ferror(fichier_.get()))
            throw Error(
                err::AccesFichier,
                "Erreur d'accès au chemin/fichier : écriture interrompue de '" + chemin_ + "'");
        return ecrits_;
    }

private:
    static constexpr size_t taille = 1 << 20;
    void vider() {
        if (tampon_.empty()) return;
        if (std::fwrite(tampon_.data(), 1, tampon_.size(), fichier_.get()) != tampon_.size())
            throw Error(
                err::AccesFichier,
                "Erreur d'accès au chemin/fichier : écriture interrompue de '" + chemin_ + "'");
        ecrits_ += tampon_.size();
        tampon_.clear();
    }
    std::string chemin_;
    std::unique_ptr<FILE, int (*)(FILE*)> fichier_;
    std::string tampon_;
    uint64_t ecrits_ = 0;
};

// An amount in cents as "-1234.05", independent of the locale.
std::string montantTexte(int64_t centimes) {
    std::string s;
    uint64_t v = centimes < 0 ? static_cast<uint64_t>(-centimes) : static_cast<uint64_t>(centimes);
    char chiffres[24];
    int n = std::snprintf(chiffres, sizeof chiffres, "%llu.%02llu",
                          static_cast<unsigned long long>(v / 100),
                          static_cast<unsigned long long>(v % 100));
    if (centimes < 0) s.push_back('-');
    s.append(chiffres, static_cast<size_t>(n));
    return s;
}

std::string nombre(uint64_t v, int largeur = 0) {
    char t[24];
    int n = std::snprintf(t, sizeof t, "%0*llu", largeur, static_cast<unsigned long long>(v));
    return std::string(t, static_cast<size_t>(n));
}

// Completes an account prefix with digits to a full account of 6 to 8 characters.
std::string completer(std::string compte, Aleatoire& alea) {
    size_t cible = std::max<size_t>(compte.size(), 6 + alea.entre(3));
    while (compte.size() < cible) compte.push_back(static_cast<char>('0' + alea.entre(10)));
    return compte;
}

std::string tauxDuType(const std::string& type) {
    static const std::pair<const char*, const char*> taux[] = {
        {"0", ""}, {"10", "10.0"}, {"20", "20.0"}, {"21", "2.1"}, {"55", "5.5"}, {"85", "8.5"}};
    for (const auto& [code, texte] : taux)
        if (type == code) return texte;
    return "";
}

// Amounts are debit minus credit: sales, collected or due VAT and suppliers
// are credits, the rest debits.
bool auCredit(const std::string& compte) {
    for (const char* prefixe : {"7", "4457", "4452", "4453", "447", "401", "404"})
        if (compte.rfind(prefixe, 0) == 0) return true;
    return false;
}

std::string attribut(std::string_view nom, std::string_view valeur) {
    std::string s;
    s.reserve(nom.size() + valeur.size() + 4);
    s.push_back(' ');
    s.append(nom);
    s.append("=\"");
    s.append(valeur);
    s.push_back('"');
    return s;
}

}  // namespace

PlanComptable planParDefaut() {
    PlanComptable p;
    // Rate types are the rate in tenths of a percent or its digits ("55" is
    // 5.5 %); categories: V sales, A purchases, C intra-EU, I fixed assets,
    // R adjustments.
    p.imputations = {
        {"7061", "20", "V"},   {"7062", "10", "V"},   {"7071", "55", "V"},   {"7072", "20", "V"},
        {"70851", "20", "V"},  {"7012", "0", "V"},    {"7014", "0", "V"},    {"445711", "20", "V"},
        {"445712", "10", "V"}, {"445713", "55", "V"}, {"445714", "21", "V"}, {"445715", "85", "V"},
        {"445660", "20", "A"}, {"445660", "10", "A"}, {"445660", "55", "A"}, {"44562", "20", "I"},
        {"445662", "20", "C"}, {"445201", "20", "C"}, {"6071", "55", "A"},   {"6011", "20", "A"},
        {"6061", "20", "A"},   {"2184", "20", "I"},   {"654", "55", "R"},    {"445713", "55", "R"},
    };
    p.neutres = {"401000", "404000", "411000", "511200", "512000", "530000", "627000"};
    p.typesTaux = {"0", "10", "20", "21", "55", "85"};
    p.categories = {"A", "C", "I", "R", "V"};
    return p;
}

PlanComptable planDepuisParametrage(const std::string& cheminRubriques) {
    auto charge = XmlDocument::loadFile(cheminRubriques);
    if (charge.index() != 0) {
        const auto& echec = std::get<1>(charge);
        throw Error(err::AccesFichier, "Impossible de lire le paramétrage '" + cheminRubriques +
                                           "' (ligne " + std::to_string(echec.line) +
                                           ") : " + echec.reason);
    }
    const auto& doc = std::get<0>(charge);
    PlanComptable plan;
    std::set<std::string> types, categories;
    for (const auto& rubrique : doc.elements("RUBRIQUE")) {
        for (const auto& ligne : rubrique.children("LIGNE")) {
            Imputation i{ligne.attribute("COMPTE").value_or(""),
                         ligne.attribute("TYPETAUX").value_or(""),
                         ligne.attribute("CATEGORIEAV").value_or("")};
            if (i.typeTaux != "9") types.insert(i.typeTaux);
            if (i.categorie != "9") categories.insert(i.categorie);
            plan.imputations.push_back(std::move(i));
        }
    }
    if (plan.imputations.empty()) return planParDefaut();
    // One imputation per distinct triple, in file order.
    std::set<std::tuple<std::string, std::string, std::string>> vus;
    std::erase_if(plan.imputations, [&](const Imputation& i) {
        return !vus.insert({i.compte, i.typeTaux, i.categorie}).second;
    });
    types.erase("");
    categories.erase("");
    plan.typesTaux.assign(types.begin(), types.end());
    plan.categories.assign(categories.begin(), categories.end());
    if (plan.typesTaux.empty()) plan.typesTaux = {"1"};
    if (plan.categories.empty()) plan.categories = {"1"};
    plan.neutres = planParDefaut().neutres;
    return plan;
}

StatistiquesDonnees genererDonnees(const std::string& chemin, const PlanComptable& plan,
                                   const OptionsDonnees& options) {
    if (plan.imputations.empty() || plan.typesTaux.empty() || plan.categories.empty())
        throw Error(err::AppelIncorrect, "Plan comptable vide : aucune ligne de données possible");
    Aleatoire alea(options.graine);
    Sortie out(chemin);
    out << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<DONNEESTVA>\n";
    // Header: every attribute a host writes, the accented name in Latin-1.
    out << "  <PARAMS" << attribut("CREDITTVA", options.credit)
        << attribut("DATEDEBUT", "2026-11-01") << attribut("DATEFIN", "2026-11-30")
        << attribut("DEFINITIVE", "1") << attribut("NOM", "SARL BOULANGERIE DU MARCH\xC9")
        << attribut("ADRESSE", "12 RUE DES HALLES") << attribut("ADRESSESUITE", "B\xC2TIMENT B")
        << attribut("CPVILLE", "69002 LYON") << attribut("RECETTE", "LYON 2")
        << attribut("NUMDOSSIER", "D0042") << attribut("PERIODE", "202611") << attribut("CLE", "17")
        << attribut("CDI", "690") << attribut("CODESERVICE", "6902") << attribut("REGIME", "RN")
        << attribut("APE", "1071C") << attribut("INTRACOMMUNAUTAIRE", "FR45123456789") << "/>\n";
    out << "  <TRESORERIE" << attribut("SOLDE", "15230.55") << "/>\n";
    out << "  <TIERS" << attribut("NOM", "CABINET D'EXPERTISE") << "/>\n";
    out << "  <DONNEES>\n";

    // The ledger's own chart: a few accounts under each imputation, a few
    // dozen third-party accounts; lines draw from it as a real ledger does.
    std::vector<std::vector<std::string>> comptes(plan.imputations.size());
    for (size_t k = 0; k < comptes.size(); ++k)
        for (uint32_t n = 1 + alea.entre(6); n > 0; --n)
            comptes[k].push_back(completer(plan.imputations[k].compte, alea));
    std::vector<std::string> tiers;
    for (const auto& neutre : plan.neutres)
        for (uint32_t n = 1 + alea.entre(20); n > 0; --n)
            tiers.push_back(completer(neutre.substr(0, 3), alea));
    auto auHasard = [&](const std::vector<std::string>& v) {
        return v[alea.entre(static_cast<uint32_t>(v.size()))];
    };

    auto ligne = [&](const char* retrait) {
        std::string compte, type, categorie;
        if (alea.chance(150)) {
            // Thirds, bank and cash: no rate, no category.
            compte = auHasard(tiers);
            type = "0";
        } else {
            size_t k = alea.entre(static_cast<uint32_t>(plan.imputations.size()));
            const auto& i = plan.imputations[k];
            compte = auHasard(comptes[k]);
            type = i.typeTaux == "9"
                       ? plan.typesTaux[alea.entre(static_cast<uint32_t>(plan.typesTaux.size()))]
                       : i.typeTaux;
            categorie =
                i.categorie == "9"
                    ? plan.categories[alea.entre(static_cast<uint32_t>(plan.categories.size()))]
                    : i.categorie;
        }
        // Mostly small amounts, some large; 1 % zero, 5 % of the other
        // sign (credit notes, refunds).
        uint32_t tirage = alea.entre(1000);
        int64_t centimes = 0;
        if (tirage >= 10) {
            uint32_t echelle = alea.entre(100) < 80 ? 100'000 : 10'000'000;
            centimes = 1 + static_cast<int64_t>(alea.entre(echelle));
            if (auCredit(compte) != (tirage < 60)) centimes = -centimes;
        }
        out << retrait << "<LIGNE" << attribut("COMPTE", compte)
            << attribut("MONTANT", montantTexte(centimes)) << attribut("TAUXTVA", tauxDuType(type))
            << attribut("TYPETAUX", type) << attribut("CATEGORIEAV", categorie) << "/>\n";
    };

    uint64_t ecrites = 0, ecriture = 0;
    while (ecrites < options.lignes) {
        if (alea.chance(300)) {
            // A journal with a few entries of a few lines each.
            out << "    <JOURNAL" << attribut("CODE", alea.chance(500) ? "VT" : "AC") << ">\n";
            uint32_t ecritures = 1 + alea.entre(3);
            for (uint32_t e = 0; e < ecritures && ecrites < options.lignes; ++e) {
                out << "      <ECRITURE" << attribut("NUMERO", nombre(++ecriture))
                    << attribut("DATE",
                                std::string("2026-11-").append(nombre(1 + alea.entre(30), 2)))
                    << ">\n";
                uint32_t n = 2 + alea.entre(3);
                for (uint32_t k = 0; k < n && ecrites < options.lignes; ++k, ++ecrites)
                    ligne("        ");
                out << "      </ECRITURE>\n";
            }
            out << "    </JOURNAL>\n";
        } else {
            ligne("    ");
            ++ecrites;
        }
    }
    out << "  </DONNEES>\n</DONNEESTVA>\n";
    return {ecrites, out.fermer()};
}

StatistiquesParametrage genererParametrage(const std::string& chemin, const PlanComptable& plan,
                                           const OptionsParametrage& options) {
    if (options.profondeur == 0 || options.rubriques == 0)
        throw Error(err::AppelIncorrect,
                    "Paramétrage : profondeur et nombre de rubriques non nuls");
    if (plan.imputations.empty() || plan.typesTaux.empty() || plan.categories.empty())
        throw Error(err::AppelIncorrect, "Plan comptable vide : aucune ligne de compte possible");
    static const char* const imprimes[] = {"CA3", "CA3A", "CA12", "CA12E", "CA12A"};
    constexpr uint32_t nbImprimes = 5;
    Aleatoire alea(options.graine);
    const uint32_t n = options.rubriques, p = options.profondeur;
    auto niveau = [&](uint32_t r) { return r % p; };
    // Rubric r sits in chain r / p, at depth r % p; chains go round the forms.
    auto imprime = [&](uint32_t r) { return imprimes[(r / p) % nbImprimes]; };
    auto code = [](uint32_t r) {
        std::string c(1, 'R');
        return c.append(nombre(r, 4));
    };

    // Account lines go to the rubrics of the lower half of each chain.
    std::vector<uint32_t> sources;
    for (uint32_t r = 0; r < n; ++r)
        if (niveau(r) < std::max<uint32_t>(1, p / 2)) sources.push_back(r);
    std::vector<std::vector<Imputation>> lignes(n);
    std::vector<std::vector<std::pair<uint32_t, int>>> dependances(n);

    // Two pairs of account lines per imputation of the chart can match data
    // lines, each pair taking debits on one line and credits on the other
    // (as a real parameter file does), so that a data line feeds a couple of
    // rubrics. The other lines name accounts the data never uses, at every
    // prefix length.
    const uint32_t utiles = std::min<uint32_t>(options.lignesCompte,
                                               4 * static_cast<uint32_t>(plan.imputations.size())) &
                            ~1u;
    auto codeAuHasard = [&](const std::vector<std::string>& codes) {
        return alea.chance(200) ? std::string("9")
                                : codes[alea.entre(static_cast<uint32_t>(codes.size()))];
    };
    uint32_t source = 0;
    for (uint32_t k = 0; k < options.lignesCompte; ++k) {
        Imputation l;
        if (k < utiles) {
            const auto& i = plan.imputations[(k / 4) % plan.imputations.size()];
            if (k % 2 == 0) {
                // Now and then one digit shorter: the line then also takes
                // the sibling accounts.
                size_t garde = i.compte.size() - (i.compte.size() > 3 && alea.chance(250) ? 1 : 0);
                l.compte = i.compte.substr(0, garde);
                l.typeTaux = alea.chance(200) ? "9" : i.typeTaux;
                l.categorie = alea.chance(200) ? "9" : i.categorie;
                l.sens = -1;
                source = sources[alea.entre(static_cast<uint32_t>(sources.size()))];
            } else {
                l = lignes[source].back();
                l.sens = 1;
                l.cumul = -1;
            }
            lignes[source].push_back(std::move(l));
        } else {
            // Classes 1, 3 and 8 never appear in the data; length 0 to 8.
            uint32_t longueur = k % 9;
            if (longueur == 0 && !alea.chance(300)) longueur = 1 + alea.entre(8);
            static const char classes[] = {'1', '3', '8'};
            for (uint32_t c = 0; c < longueur; ++c)
                l.compte.push_back(c == 0 ? classes[alea.entre(3)]
                                          : static_cast<char>('0' + alea.entre(10)));
            // An empty prefix matches every account: keep its codes out of the data.
            l.typeTaux = longueur == 0 ? "77" : codeAuHasard(plan.typesTaux);
            l.categorie = longueur == 0 ? "77" : codeAuHasard(plan.categories);
            uint32_t t = alea.entre(10);
            l.cumul = t == 0 ? -1 : (t < 7 ? 1 : 0);
            if (alea.chance(100)) l.sens = -1;
            lignes[sources[alea.entre(static_cast<uint32_t>(sources.size()))]].push_back(
                std::move(l));
        }
    }

    StatistiquesParametrage stats;
    for (uint32_t r = 0; r < n; ++r) {
        if (niveau(r) + 1 < p && r + 1 < n)
            dependances[r].push_back({r + 1, alea.chance(150) ? -1 : 1});
        // Some rubrics also feed a deeper rubric of another chain: no cycle,
        // since depth grows along every dependency.
        if (niveau(r) + 2 < p && alea.chance(50)) {
            uint32_t chaine = alea.entre((n + p - 1) / p);
            uint32_t cible = chaine * p + niveau(r) + 2 + alea.entre(p - niveau(r) - 2);
            if (cible < n && cible / p != r / p) dependances[r].push_back({cible, 1});
        }
    }
    stats.longueurMaxChaine = std::min(p, n);

    Sortie out(chemin);
    out << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<RUBRIQUESTVA>\n";
    for (uint32_t f = 0; f < nbImprimes; ++f) {
        out << "  <IMPRIME" << attribut("CODE", imprimes[f])
            << attribut("LIBELLE", "D\xE9\x63laration") << ">\n";
        // The credit carried forward lands in these when the header is read.
        for (const char* credit : {f == 0 ? "HD" : nullptr, f == 2 ? "KA" : nullptr}) {
            if (!credit) continue;
            out << "    <RUBRIQUE" << attribut("CODE", credit) << " TYPE=\"N\"/>\n";
            ++stats.rubriques;
        }
        for (uint32_t r = 0; r < n; ++r) {
            if (imprime(r) != imprimes[f]) continue;
            bool sommet = niveau(r) + 1 == p;
            const char* type = "N";
            if (sommet && alea.chance(100)) type = alea.chance(500) ? "T" : "d";
            out << "    <RUBRIQUE" << attribut("CODE", code(r)) << attribut("TYPE", type);
            if (niveau(r) >= p / 2 && alea.chance(100)) out << attribut("CONDITION", "POSITIF");
            if (alea.chance(100)) out << attribut("LONGUEUR", alea.chance(500) ? "-1" : "12");
            out << ">\n";
            for (const auto& l : lignes[r]) {
                out << "      <LIGNE" << attribut("COMPTE", l.compte)
                    << attribut("TYPETAUX", l.typeTaux) << attribut("CATEGORIEAV", l.categorie);
                if (l.cumul != 0) out << attribut("TYPECUMUL", l.cumul < 0 ? "-1" : "1");
                if (l.sens < 0) out << attribut("SENS", "-1");
                out << "/>\n";
                ++stats.lignesCompte;
            }
            for (const auto& [cible, sens] : dependances[r]) {
                out << "      <DEPENDANCE" << attribut("CODEIMPRIME", imprime(cible))
                    << attribut("CODERUBRIQUE", code(cible))
                    << attribut("SENS", sens < 0 ? "-1" : "1") << "/>\n";
                ++stats.dependances;
            }
            out << "    </RUBRIQUE>\n";
            ++stats.rubriques;
        }
        out << "  </IMPRIME>\n";
    }
    out << "</RUBRIQUESTVA>\n";
    stats.octets = out.fermer();
    return stats;
}

void genererChaine(const std::string& chemin, uint32_t sauts) {
    Sortie out(chemin);
    out << "<?xml version=\"1.0\"?>\n<RUBRIQUESTVA>\n  <IMPRIME CODE=\"CA3\">\n";
    for (uint32_t r = 0; r <= sauts; ++r) {
        out << "    <RUBRIQUE" << attribut("CODE", std::string(1, 'C').append(nombre(r)))
            << " TYPE=\"N\">";
        if (r < sauts)
            out << "<DEPENDANCE CODEIMPRIME=\"CA3\""
                << attribut("CODERUBRIQUE", std::string(1, 'C').append(nombre(r + 1)))
                << attribut("SENS", r % 2 ? "-1" : "1") << "/>";
        out << "</RUBRIQUE>\n";
    }
    out << "  </IMPRIME>\n</RUBRIQUESTVA>\n";
    out.fermer();
}

}  // namespace qx::bench
