// qxtva pivot: the boxes of a stored declaration, form by form.
#include <array>
#include <filesystem>
#include <iostream>

#include "commande.h"
#include "declaration/declaration_tva.h"
#include "declaration_enregistree.h"
#include "options.h"
#include "parametres.h"
#include "rubrics/conventions.h"
#include "sortie.h"
#include "vue_formulaire.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva pivot FICHIER [--type T] [--tout] [--format table|csv|json]\n"
    "\n"
    "Affiche les rubriques d'une déclaration enregistrée par Ardilo direct (fichier pivot),\n"
    "comme le formulaire les présente : formulaire, ligne, code, valeur et intitulé, dans\n"
    "l'ordre du formulaire ; une case cochée vaut « X ». Sans --type, la CA3 puis son\n"
    "annexe CA3A, puis la CA12 (ou à défaut sa variante CA12E).\n"
    "\n"
    "  --type T     formulaire à lire seul : CA3, CA3A, CA12 (ou à défaut sa variante\n"
    "               CA12E) ou CA12E\n"
    "  --tout       affiche aussi les rubriques à zéro\n"
    "  --format F   table (par défaut), csv (tableur, « ; » et virgule décimale) ou json\n"
    "\n"
    "Sortie : 0 succès, 2 fichier absent ou illisible, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 3> kOptions = {{
    {"type", true, false, false},
    {"tout", false, false, false},
    kOptionFormat,
}};

int executer(const Arguments& arguments) {
    Arguments reste;
    std::optional<std::string> fichier = separerFichier(arguments, reste);
    Options options = Options::analyser(reste, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    if (!fichier) throw ErreurUsage("fichier pivot manquant");
    const Format format = lireFormat(options.valeur("format"));
    std::vector<std::string> types = {"CA3", "CA3A", "CA12"};
    if (auto type = options.valeur("type")) {
        types = {lireType(type)};
        if (types[0] == "CA12A") throw ErreurUsage("le formulaire CA12A ne se lit pas");
    }

    std::error_code ec;
    if (!std::filesystem::is_regular_file(*fichier, ec)) {
        std::cerr << "qxtva pivot : fichier « " << *fichier << " » introuvable\n";
        return kSortieErreur;
    }
    const DeclarationEnregistree enregistree = lireDeclarationEnregistree(*fichier);
    std::vector<CaseFormulaire> cases;
    for (const std::string& type : types) {
        qx::Cls_DeclarationTVA declaration;
        declaration.SetvTypeDeclaration(type);
        std::vector<qx::TRubr> rubriques;
        if (!declaration.Conversion_Pivot(*fichier, rubriques)) {
            std::cerr << "qxtva pivot : « " << *fichier
                      << " » n'est pas une déclaration lisible par Ardilo direct\n";
            return kSortieErreur;
        }
        // Entry 0 is never filled: boxes start at 1.
        for (size_t k = 1; k < rubriques.size(); ++k) {
            const qx::TRubr& r = rubriques[k];
            auto texte = enregistree.textes.find({r.Rubr_TypeDeclaration, r.Rubr_Id});
            cases.push_back({r.Rubr_TypeDeclaration, r.Rubr_Id, r.Rubr_Intitule,
                             texte != enregistree.textes.end() ? texte->second
                                                               : qx::NombreVersTexte(r.Rubr_Valeur),
                             false, ""});
        }
    }
    if (cases.empty() && format == Format::Table) {
        std::cout << "Aucun formulaire " << (types.size() == 1 ? types[0] + " " : "")
                  << "dans cette déclaration.\n";
        return kSortieSucces;
    }
    ecrire(std::cout, format,
           tableauFormulaire(cases, options.present("tout"), false, enregistree.entete));
    return kSortieSucces;
}

}  // namespace

extern const Commande commandePivot;
const Commande commandePivot{"pivot", "affiche les rubriques d'une déclaration enregistrée", kUsage,
                             executer};

}  // namespace qxtva
