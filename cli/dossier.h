// The dossier file of `qxtva declarer`: everything a host sets on a
// declaration object before generating it (header, emitter, preparer,
// taxpayer, payments, instalments), as XML. Format: samples/README.md.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "declaration/declaration_tva.h"

namespace qxtva {

// A dossier that cannot be read; the message is French and names the place.
class DossierInvalide : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Dossier {
    std::optional<std::string> type;  // the root's TYPE, when given
};

// Loads the file into the declaration (its records and the thread's
// instalments). Every element and attribute is checked: an unknown one,
// a value of the wrong shape or a file that is no dossier raises
// DossierInvalide.
Dossier chargerDossier(const std::string& chemin, qx::Cls_DeclarationTVA& declaration);

}  // namespace qxtva
