// The library side of the declaration object: what it stores of the
// let-only properties, read back by the tools and tests.
#pragma once

#include <string>

#include "declaration/declaration_tva.h"

namespace qx {

struct DeclarationInterne {
    // The stored texts of the period ends; empty until set.
    static const std::string& DateDebutTexte(const Cls_DeclarationTVA& d) { return d.dateDebut_; }
    static const std::string& DateFinTexte(const Cls_DeclarationTVA& d) { return d.dateFin_; }
};

}  // namespace qx
