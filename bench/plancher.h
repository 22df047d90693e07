// The floor: the cheapest streaming reads of a data file that libxml2
// offers, each visiting every element and reading the four attributes of
// every LIGNE the engine needs, and nothing else. The benchmark is the one
// place outside src/platform that talks to libxml2: it measures it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx::bench {

struct Lecture {
    uint64_t elements = 0;
    uint64_t lignes = 0;
    uint64_t controle = 0;  // sums the attribute lengths, so that no read is optimised away
};

// SAX2 push parser fed in chunks of `morceau` bytes, startElementNs only.
Lecture lirePousse(const std::string& chemin, size_t morceau);

// xmlTextReader pull parser over the file.
Lecture lireLecteur(const std::string& chemin);

// The four attributes a computation reads from each LIGNE.
inline constexpr const char* attributsLigne[] = {"COMPTE", "MONTANT", "TYPETAUX", "CATEGORIEAV"};

}  // namespace qx::bench
