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
#include "platform/date.h"

namespace qxtva {

// Only the types the library knows are accepted: any other text would
// silently select no credit rubric and no check.
inline constexpr std::array<std::string_view, 5> kTypes = {"CA3", "CA3A", "CA12", "CA12E", "CA12A"};

// The type given, "CA3" when none; one of kTypes.
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
