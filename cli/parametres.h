// Option values several subcommands share: the declaration type, the CA12
// instalments and the date of the day. Each raises ErreurUsage with a
// French message for a value it cannot take.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commande.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/date.h"

namespace qxtva {

// Whether the library knows the type. Any other text, the empty one
// included (a thread where no declaration object was created), selects no
// credit rubric and no check; the tool passes it on as given, since other
// tools drive the library through it.
inline bool typeConnu(std::string_view type) {
    return qx::CodeFormulaire(type).has_value();
}

// The type given, "CA3" when none; a warning on stderr when it is not known.
std::string lireType(const std::optional<std::string>& texte);

// A whole number written with digits only (a sign allowed), nothing else.
std::optional<int> lireEntier(std::string_view texte);
// An amount: digits, optionally "." and more digits; a leading "-" when
// signeAdmis. No exponent, no group separator.
std::optional<double> lireMontant(std::string_view texte, bool signeAdmis = false);

// One --acompte, as Acompte_Ajouter takes it: any number that fits 16 bits,
// amounts with a sign.
struct Acompte {
    int16_t numero;
    double paye;
    double restant;
};
// Every "N:PAYE:RESTANT" in order; a warning on stderr for a number outside
// 1 to 4 (the library ignores it) and for a number given again (the later
// one replaces the earlier).
std::vector<Acompte> lireListeAcomptes(const std::vector<std::string>& textes);
// The table those instalments give, each set as Acompte_Ajouter sets it.
qx::TableAcomptes lireAcomptes(const std::vector<std::string>& textes);

// A warning of the tool on stderr: "qxtva : avertissement : ...".
void avertir(std::string_view message);

// "AAAA-MM-JJ".
qx::Date lireDateJour(const std::string& texte);

}  // namespace qxtva

namespace qxtva {

// For subcommands of the form "qxtva NOM FICHIER [OPTIONS]": the file
// named first, and the options after it. Nothing when the first argument
// is an option (help, or the file is missing: Options then tells which).
std::optional<std::string> separerFichier(const Arguments& arguments, Arguments& options);

}  // namespace qxtva
