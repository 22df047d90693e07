// Writes the benchmark inputs. Usage:
//   qxtva_gen [--plan RUBRIQUES.xml] [--donnees FICHIER --lignes N]
//             [--parametrage FICHIER --rubriques N --lignes-compte N --profondeur N]
//             [--chaine FICHIER --sauts N] [--graine N]
// --plan takes accounts, rate types and categories from a parameter file, so
// that the data lines feed its rubrics.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "generateur.h"
#include "platform/error.h"

namespace {

uint64_t entier(const char* option, const char* texte) {
    char* fin = nullptr;
    unsigned long long v = std::strtoull(texte, &fin, 10);
    if (!*texte || *fin || texte[0] == '-')
        throw qx::Error(
            qx::err::AppelIncorrect,
            std::string("Option ") + option + " : nombre entier attendu, lu '" + texte + "'");
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qx::bench;
    try {
        std::string plan, donnees, parametrage, chaine;
        OptionsDonnees od;
        OptionsParametrage op;
        uint32_t sauts = 5;
        for (int i = 1; i < argc; ++i) {
            std::string a = argv[i];
            if (i + 1 >= argc)
                throw qx::Error(qx::err::AppelIncorrect, "Option " + a + " sans valeur");
            const char* v = argv[++i];
            if (a == "--plan")
                plan = v;
            else if (a == "--donnees")
                donnees = v;
            else if (a == "--lignes")
                od.lignes = entier(argv[i - 1], v);
            else if (a == "--graine")
                od.graine = op.graine = entier(argv[i - 1], v);
            else if (a == "--parametrage")
                parametrage = v;
            else if (a == "--rubriques")
                op.rubriques = static_cast<uint32_t>(entier(argv[i - 1], v));
            else if (a == "--lignes-compte")
                op.lignesCompte = static_cast<uint32_t>(entier(argv[i - 1], v));
            else if (a == "--profondeur")
                op.profondeur = static_cast<uint32_t>(entier(argv[i - 1], v));
            else if (a == "--chaine")
                chaine = v;
            else if (a == "--sauts")
                sauts = static_cast<uint32_t>(entier(argv[i - 1], v));
            else
                throw qx::Error(qx::err::AppelIncorrect, "Option inconnue : " + a);
        }
        PlanComptable pc = plan.empty() ? planParDefaut() : planDepuisParametrage(plan);
        if (!donnees.empty()) {
            auto s = genererDonnees(donnees, pc, od);
            std::printf("%s : %llu lignes, %.1f Mo\n", donnees.c_str(),
                        static_cast<unsigned long long>(s.lignes),
                        static_cast<double>(s.octets) / 1e6);
        }
        if (!parametrage.empty()) {
            auto s = genererParametrage(parametrage, pc, op);
            std::printf("%s : %u rubriques, %u lignes de compte, %u dépendances, chaînes de %u\n",
                        parametrage.c_str(), s.rubriques, s.lignesCompte, s.dependances,
                        s.longueurMaxChaine);
        }
        if (!chaine.empty()) {
            genererChaine(chaine, sauts);
            std::printf("%s : chaîne de %u dépendances\n", chaine.c_str(), sauts);
        }
        return 0;
    } catch (const qx::Error& e) {
        std::fprintf(stderr, "qxtva_gen : erreur %d : %s\n", e.number(), e.description().c_str());
        return 1;
    }
}
