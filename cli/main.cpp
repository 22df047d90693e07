// qxtva: the command-line tool of the library. The first argument names a
// subcommand; the rest belongs to it.
#include <algorithm>
#include <clocale>
#include <iostream>
#include <string>

#include "chemin_erreur.h"
#include "commande.h"
#include "platform/error.h"
#include "platform/safe_file.h"

namespace {

void afficherUsage(std::ostream& sortie) {
    sortie << "Usage : qxtva COMMANDE [OPTIONS]...\n"
              "        qxtva COMMANDE --help\n"
              "        qxtva --version\n\n"
              "Commandes :\n";
    size_t largeur = 0;
    for (const qxtva::Commande* commande : qxtva::commandes())
        largeur = std::max(largeur, commande->nom.size());
    for (const qxtva::Commande* commande : qxtva::commandes())
        sortie << "  " << commande->nom << std::string(largeur - commande->nom.size() + 2, ' ')
               << commande->resume << '\n';
}

constexpr std::string_view kRenvoiAide = "Aide : qxtva --help\n";

}  // namespace

int main(int argc, char** argv) {
    // Amounts are read with the user's number settings; everything written
    // (result file, table) uses "." whatever they are.
    std::setlocale(LC_ALL, "");
    // A Ctrl-C or kill while a file is written leaves no temporary behind.
    qx::removeTemporariesOnInterruption();

    if (argc < 2) {
        std::cerr << "qxtva : commande manquante\n" << kRenvoiAide;
        return qxtva::kSortieUsage;
    }
    std::string nom = argv[1];
    if (nom == "--version") {
        std::cout << "qxtva " QX_VERSION "\n";
        return qxtva::kSortieSucces;
    }
    if (nom == "--help" || nom == "-h" || nom == "help") {
        afficherUsage(std::cout);
        return qxtva::kSortieSucces;
    }
    const qxtva::Commande* commande = qxtva::trouverCommande(nom);
    if (!commande) {
        std::cerr << "qxtva : commande inconnue « " << nom << " »\n" << kRenvoiAide;
        return qxtva::kSortieUsage;
    }

    qxtva::Arguments arguments(argv + 2, argv + argc);
    try {
        return commande->executer(arguments);
    } catch (const qxtva::ErreurUsage& erreur) {
        // One line for the reason; the full usage only on request.
        std::cerr << "qxtva " << commande->nom << " : " << erreur.what() << '\n'
                  << "Aide : qxtva " << commande->nom << " --help\n";
        return qxtva::kSortieUsage;
    } catch (...) {
        // Whatever failed (the library's numbered failures, memory, system)
        // is reported in the same one-line form.
        const qx::Error erreur = qx::Error::fromCurrentException();
        std::cerr << qxtva::ligneErreur(erreur.number(),
                                        qxtva::descriptionAvecChemin(erreur, arguments))
                  << std::endl;
        return qxtva::kSortieErreur;
    }
}
