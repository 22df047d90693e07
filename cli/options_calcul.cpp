#include "options_calcul.h"

#include <optional>

#include "engine/declaration_courante.h"
#include "parametres.h"
#include "platform/clock.h"

namespace qxtva {

std::string appliquerOptionsCalcul(const Options& options) {
    std::string type = lireType(options.valeur("type"));
    qx::TableAcomptes acomptes = lireAcomptes(options.valeurs("acompte"));
    std::optional<qx::Date> dateJour;
    if (auto texte = options.valeur("date-jour")) dateJour = lireDateJour(*texte);

    qx::DefinirTypeDeclaration(type);
    qx::Acomptes() = std::move(acomptes);
    if (dateJour) qx::fixerDateDuJour(*dateJour);
    return type;
}

}  // namespace qxtva
