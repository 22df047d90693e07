// The subcommands of the qxtva tool. A subcommand is a function that gets
// the arguments following its name and returns the process exit code. To
// add one: a file defining `const Commande commandeNom{...}` (see
// calcul.cpp), and its declaration and entry in the table of commandes.cpp.
// Options (options.h), the failure line below, the form view
// (vue_formulaire.h) and the output formats (sortie.h) are shared.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qxtva {

inline constexpr int kSortieSucces = 0;
inline constexpr int kSortieAvertissement = 1;  // verifier: warnings only
inline constexpr int kSortieErreur = 2;         // a numbered failure of the library
inline constexpr int kSortieUsage = 64;         // wrong usage, as sysexits' EX_USAGE

using Arguments = std::vector<std::string>;

struct Commande {
    std::string_view nom;
    std::string_view resume;  // one line, for the tool's general usage
    std::string_view usage;   // the subcommand's full usage text
    int (*executer)(const Arguments& arguments);
};

// Every subcommand, in the order the general usage lists them.
std::span<const Commande* const> commandes();
// The subcommand of that exact name, or none.
const Commande* trouverCommande(std::string_view nom);

// Wrong usage of a subcommand: the tool prints the message on stderr, with
// the command that shows the subcommand's usage, and exits with kSortieUsage.
class ErreurUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qxtva

namespace qx {
struct Verification;
}

namespace qxtva {

// The exit code of a verification: 0 clean, 1 warnings only, 2 errors.
int codeVerification(const qx::Verification& verification);
// "1 erreur, 3 avertissements".
std::string resumeVerification(const qx::Verification& verification);
// The verifier command line that details the findings of those files.
std::string ligneVerifier(const std::string& rubriques, const std::string& donnees,
                          const std::string& type);

// The one line a failure of the library prints on stderr:
// "erreur NUMBER : DESCRIPTION", the description kept on that line, the
// number as hosts show it (qx::errorNumberText).
std::string ligneErreur(int32_t numero, std::string_view description);

}  // namespace qxtva
