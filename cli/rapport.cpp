// qxtva rapport: the computed return as a printable HTML page.
#include <iostream>
#include <optional>

#include "avant_forcage.h"
#include "commande.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "options.h"
#include "options_calcul.h"
#include "parametres.h"
#include "platform/clock.h"
#include "platform/safe_file.h"
#include "platform/xml_document.h"
#include "rapport_html.h"
#include "source_fec.h"

namespace qxtva {
namespace {

constexpr std::string_view kModele =
    "Usage : qxtva rapport (--donnees DONNEES.xml | --fec F [...]) --rubriques RUBRIQUES.xml\n"
    "                      [--type T] [--acompte N:PAYE:RESTANT]... [--dossier DOSSIER.xml]\n"
    "                      [--date-jour AAAA-MM-JJ] -o RETOUR.html\n"
    "\n"
    "Calcule la déclaration et l'écrit en une page HTML autonome, imprimable sur A4 :\n"
    "sections et lignes du formulaire, codes, libellés, valeurs ; les rubriques forcées\n"
    "surlignées avec leur valeur avant correction et la raison ; les contrôles base × taux.\n"
    "L'en-tête (entreprise, SIRET, période) vient du dossier, sinon du fichier de données.\n"
    "\n"
    "  --donnees F      fichier de données comptables\n"
    "  --rubriques F    fichier de description des rubriques\n"
    "  --type T         type de déclaration (CA3 par défaut)\n"
    "  --acompte N:PAYE:RESTANT   acompte de la CA12 (répétable)\n"
    "  --dossier F      dossier de déclaration (comme pour qxtva declarer), pour l'en-tête\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "  -o, --sortie F   page HTML à écrire\n"
    "  --fec F          calcule à partir du fichier des écritures comptables (FEC) :\n"
    "%FEC%"
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul, 64 mauvais usage.\n";

const std::string kUsage = avecUsageFEC(kModele);

constexpr std::array<DefinitionOption, 8> kOptionsRapport = {{
    {"donnees", true, false, false},
    {"fec", true, false, false},
    {"rubriques", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"dossier", true, false, false},
    {"date-jour", true, false, false},
    {"sortie", true, false, true, "-o"},
}};

std::string attribut(const qx::XmlDocument& document, std::string_view element,
                     std::string_view nom) {
    for (const qx::XmlElement& e : document.elements(element))
        if (auto valeur = e.attribute(nom)) return *valeur;
    return {};
}

// The header from the dossier when given, else what the data file carries.
EnteteRapport lireEntete(const std::string& type, const std::optional<std::string>& dossier,
                         const std::string& donnees) {
    EnteteRapport entete;
    entete.type = type;
    if (dossier) {
        auto charge = qx::XmlDocument::loadFile(*dossier);
        if (auto* d = std::get_if<qx::XmlDocument>(&charge)) {
            entete.societe = attribut(*d, "REDEVABLE", "NOMSOCIETE");
            entete.siret = attribut(*d, "REDEVABLE", "SIRET");
            if (entete.siret.empty()) entete.siret = attribut(*d, "DECLARATION", "SIRET");
            entete.debut = attribut(*d, "DECLARATION", "DATEDEBUT");
            entete.fin = attribut(*d, "DECLARATION", "DATEFIN");
            return entete;
        }
        throw qx::Error(qx::err::FichierIntrouvable, "Dossier illisible : " + *dossier);
    }
    auto charge = qx::XmlDocument::loadFile(donnees);
    if (auto* d = std::get_if<qx::XmlDocument>(&charge)) {
        entete.societe = attribut(*d, "TIERS", "NOM");
        entete.debut = attribut(*d, "PARAMS", "DATEDEBUT");
        entete.fin = attribut(*d, "PARAMS", "DATEFIN");
    }
    return entete;
}

int executer(const Arguments& arguments) {
    std::vector<DefinitionOption> definitions(kOptionsRapport.begin(), kOptionsRapport.end());
    definitions.insert(definitions.end(), kOptionsFEC.begin(), kOptionsFEC.end());
    Options options = Options::analyser(arguments, definitions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    SourceDonnees source(options);
    const std::string type = appliquerOptionsCalcul(options);
    const std::string donnees = source.fichier(std::cerr);
    const std::string rubriques = *options.valeur("rubriques");

    auto calcul = qx::CCalculTVA::Creer();
    ValeursAvantForcage avant;
    qx::CalculInterne::SetObservateur(*calcul, &avant);
    calcul->Init(donnees, rubriques, "");
    const std::string page = rapportHtml(lireEntete(type, options.valeur("dossier"), donnees),
                                         *calcul->Rubriques(), &avant);
    qx::writeFileSafely(*options.valeur("sortie"), page, {donnees, rubriques});
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeRapport;
const Commande commandeRapport{"rapport", "écrit la déclaration calculée en page HTML imprimable",
                               kUsage, executer};

}  // namespace qxtva
