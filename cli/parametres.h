// Option values several subcommands share: the declaration type, the CA12
// instalments and the date of the day. Each raises ErreurUsage with a
// French message for a value it cannot take.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "commande.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/date.h"

namespace qxtva {

// Whether the library knows the type: any other text would silently select
// no credit rubric and no check, so the tool refuses it.
inline bool typeConnu(std::string_view type) {
    return qx::CodeFormulaire(type).has_value();
}

// The type given, "CA3" when none; a known one.
std::string lireType(const std::optional<std::string>& texte);

// A whole number written with digits only (a sign allowed), nothing else.
std::optional<int> lireEntier(std::string_view texte);
// An amount: digits, optionally "." and more digits; a leading "-" when
// signeAdmis. No exponent, no group separator.
std::optional<double> lireMontant(std::string_view texte, bool signeAdmis = false);

// "N:PAYE:RESTANT" into the table; each instalment at most once.
void lireAcompte(const std::string& texte, qx::TableAcomptes& table, std::array<bool, 5>& vus);

// "AAAA-MM-JJ".
qx::Date lireDateJour(const std::string& texte);

}  // namespace qxtva

namespace qxtva {

// For subcommands of the form "qxtva NOM FICHIER [OPTIONS]": the file
// named first, and the options after it. Nothing when the first argument
// is an option (help, or the file is missing: Options then tells which).
std::optional<std::string> separerFichier(const Arguments& arguments, Arguments& options);

}  // namespace qxtva
