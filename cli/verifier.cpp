// qxtva verifier: every problem a parameter file and a data file hide, one
// line each, "FICHIER:LIGNE: gravité: message".
#include <array>
#include <iostream>

#include "checks/verification.h"
#include "commande.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "options_calcul.h"
#include "parametres.h"
#include "sortie.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva verifier --rubriques RUBRIQUES.xml [--donnees DONNEES.xml] [--type T]\n"
    "                       [--acompte N:PAYE:RESTANT]... [--format table|csv|json]\n"
    "\n"
    "Vérifie le fichier de description des rubriques et, s'il est donné, le fichier de\n"
    "données comptables : noms mal orthographiés, lignes sans compte, montants mal lus,\n"
    "dépendances sans cible, cycles, codes qui n'alimentent rien... Avec --donnees, calcule\n"
    "aussi la déclaration (sans rien écrire) et signale les totaux qui ne font pas la\n"
    "somme de leurs parties arrondies. Un constat par ligne :\n"
    "  FICHIER:LIGNE: gravité: message\n"
    "(gravité : erreur, avertissement ou remarque).\n"
    "\n"
    "  --rubriques F    fichier de description des rubriques (racine RUBRIQUESTVA)\n"
    "  --donnees F      fichier de données comptables (racine DONNEESTVA)\n"
    "  --type T         type de déclaration (CA3 par défaut)\n"
    "  --acompte N:PAYE:RESTANT\n"
    "                   acompte de la CA12 (répétable)\n"
    "  --format F       table (par défaut : une ligne par constat), csv ou json, avec les\n"
    "                   colonnes fichier, ligne, gravité et message\n"
    "\n"
    "Sortie : 0 rien à signaler (ou des remarques seulement), 1 avertissements seulement,\n"
    "2 erreurs, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 5> kOptions = {{
    {"rubriques", true, false, true},
    {"donnees", true, false, false},
    {"type", true, false, false},
    {"acompte", true, true, false},
    kOptionFormat,
}};

Tableau tableauConstats(const qx::Verification& verification) {
    Tableau tableau;
    tableau.schema = "qxtva.constats";
    tableau.version = 1;
    tableau.colonnes = {
        {"fichier", "Fichier"},
        {"ligne", "Ligne", Genre::Nombre},
        {"gravite", "Gravité"},
        {"message", "Message"},
    };
    for (const qx::Constat& c : verification.constats)
        tableau.lignes.push_back({c.fichier, c.ligne > 0 ? std::to_string(c.ligne) : "",
                                  qx::TexteGravite(c.gravite), c.message});
    return tableau;
}

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    const Format format = lireFormat(options.valeur("format"));
    appliquerOptionsCalcul(options);

    const std::string rubriques = *options.valeur("rubriques");
    const std::optional<std::string> donnees = options.valeur("donnees");
    const qx::Verification verification =
        donnees ? qx::Verifier(*donnees, rubriques) : qx::VerifierFichiers(rubriques, "");
    // The table is the compilers' line format, which editors jump from.
    if (format == Format::Table)
        for (const qx::Constat& constat : verification.constats)
            std::cout << qx::TexteConstat(constat) << '\n';
    else
        ecrire(std::cout, format, tableauConstats(verification));
    return codeVerification(verification);
}

}  // namespace

int codeVerification(const qx::Verification& verification) {
    if (verification.nombre(qx::Gravite::Erreur) > 0) return kSortieErreur;
    return verification.nombre(qx::Gravite::Avertissement) > 0 ? kSortieAvertissement
                                                               : kSortieSucces;
}

std::string resumeVerification(const qx::Verification& verification) {
    auto compte = [](int n, const char* mot) {
        return std::to_string(n) + " " + mot + (n > 1 ? "s" : "");
    };
    const int erreurs = verification.nombre(qx::Gravite::Erreur);
    const int avertissements = verification.nombre(qx::Gravite::Avertissement);
    if (erreurs == 0) return compte(avertissements, "avertissement");
    if (avertissements == 0) return compte(erreurs, "erreur");
    return compte(erreurs, "erreur") + ", " + compte(avertissements, "avertissement");
}

std::string ligneVerifier(const std::string& rubriques, const std::string& donnees,
                          const std::string& type) {
    auto mot = [](const std::string& texte) {
        if (!texte.empty() && texte.find_first_of(" '\"\\$`*?;&|<>()") == std::string::npos)
            return texte;
        std::string cite = "'";
        for (char c : texte) cite += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return cite + "'";
    };
    std::string ligne = "qxtva verifier --rubriques " + mot(rubriques);
    if (!donnees.empty()) ligne += " --donnees " + mot(donnees);
    if (type != "CA3") ligne += " --type " + mot(type);
    return ligne;
}

extern const Commande commandeVerifier;
const Commande commandeVerifier{
    "verifier", "signale les erreurs des fichiers de rubriques et de données", kUsage, executer};

}  // namespace qxtva
