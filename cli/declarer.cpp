// qxtva declarer: generates a declaration from a dossier file and the two
// computation files, writes the result file and hands the declaration to the
// transmission product.
#include <array>
#include <iostream>

#include "ardilo/connecteur_substitut.h"
#include "commande.h"
#include "declaration/declaration_tva.h"
#include "dossier.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "parametres.h"
#include "platform/clock.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva declarer --dossier DOSSIER.xml --donnees DONNEES.xml --rubriques RUBRIQUES.xml\n"
    "                       --resultat RESULTAT.xml [--type T] [--date-jour AAAA-MM-JJ]\n"
    "\n"
    "Calcule la déclaration et la transmet à Ardilo direct, avec l'en-tête, le déclarant,\n"
    "le rédacteur, le redevable, les paiements et les acomptes du dossier (format décrit\n"
    "dans samples/README.md). Le dépôt est écrit dans la boîte d'envoi d'Ardilo direct\n"
    "(variable ARDILO_OUTBOX, sinon $HOME/.ardilo/envoi).\n"
    "\n"
    "  --dossier F      dossier de la déclaration (racine DOSSIERTVA)\n"
    "  --donnees F      fichier de données comptables (racine DONNEESTVA)\n"
    "  --rubriques F    fichier de description des rubriques (racine RUBRIQUESTVA)\n"
    "  --resultat F     fichier résultat à écrire (racine RESULTATTVA), comme « qxtva calcul »\n"
    "  --type T         type de déclaration : remplace l'attribut TYPE du dossier\n"
    "                   (CA3 par défaut)\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "\n"
    "Le fichier résultat est écrit avant la transmission : si le calcul ou l'écriture\n"
    "échoue, rien n'est transmis.\n"
    "\n"
    "Affiche la réponse d'Ardilo direct. Sortie : 0 transmis, 2 échec (message sur stderr),\n"
    "64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 6> kOptions = {{
    {"dossier", true, false, true},
    {"donnees", true, false, true},
    {"rubriques", true, false, true},
    {"resultat", true, false, true},
    {"type", true, false, false},
    {"date-jour", true, false, false},
}};

// The library's messages break lines with CR LF; a terminal wants LF.
std::string lignesTerminal(const std::string& texte) {
    std::string sortie;
    for (size_t i = 0; i < texte.size(); ++i)
        if (!(texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n')) sortie += texte[i];
    return sortie;
}

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    std::optional<std::string> type;
    if (options.present("type")) type = lireType(options.valeur("type"));
    if (auto texte = options.valeur("date-jour")) qx::fixerDateDuJour(lireDateJour(*texte));

    qx::Cls_DeclarationTVA declaration;
    const std::string cheminDossier = *options.valeur("dossier");
    try {
        Dossier dossier = chargerDossier(cheminDossier, declaration);
        if (!type) type = dossier.type;
    } catch (const DossierInvalide& e) {
        std::cerr << "qxtva declarer : dossier « " << cheminDossier << " » : " << e.what() << '\n';
        return kSortieErreur;
    }
    declaration.SetvTypeDeclaration(type.value_or("CA3"));

    const std::string donnees = *options.valeur("donnees");
    const std::string rubriques = *options.valeur("rubriques");
    const std::string fichierResultat = *options.valeur("resultat");
    // The generation computes without keeping the result file; the tool
    // writes it first, with the declaration's type and instalments, so that
    // nothing is sent whose result could not be kept. A failure goes up to
    // main, which prints its one numbered line.
    auto calcul = qx::CCalculTVA::Creer();
    calcul->Init(donnees, rubriques, fichierResultat);
    calcul->Archive();
    calcul.reset();

    std::string info;
    const std::string resultat =
        declaration.Generer_Declaration_TVA(donnees, rubriques, fichierResultat, info);
    if (resultat.empty()) {
        // A refused transfer has already said so through its message box,
        // without its reason: the stand-in product keeps that.
        if (!info.empty()) {
            std::cerr << lignesTerminal(info) << '\n';
        } else {
            std::cerr << "La déclaration n'a pas été transmise.";
            auto substitut = std::dynamic_pointer_cast<qx::ardilo::ConnecteurSubstitut>(
                declaration.ArdiloDirect());
            if (substitut && !substitut->dernierEchec().empty())
                std::cerr << ' ' << substitut->dernierEchec();
            std::cerr << '\n';
        }
        return kSortieErreur;
    }
    std::cout << resultat << '\n';
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeDeclarer;
const Commande commandeDeclarer{
    "declarer", "calcule une déclaration et la transmet à Ardilo direct", kUsage, executer};

}  // namespace qxtva
