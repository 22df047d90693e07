// The declaration under way on the calling thread: its type and its
// instalment table, kept once per thread rather than per object. The
// declaration object writes them; the data pass, the checks and the form
// transfer read them. A thread starts with an empty type and four zero
// instalments.
#pragma once

#include <array>
#include <string>

namespace qx {

struct TAcompte {
    double MtPaye = 0.0;
    double MtRestant = 0.0;
};

// Instalments 1 to 4; entry 0 is unused so that numbers match positions.
using TableAcomptes = std::array<TAcompte, 5>;

const std::string& TypeDeclarationCourant();
void DefinirTypeDeclaration(std::string type);

TableAcomptes& Acomptes();

}  // namespace qx
