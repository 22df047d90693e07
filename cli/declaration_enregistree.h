// What the tool shows of a stored declaration beyond the library's box
// records, which carry numbers only: the text of each box (a ticked box's
// "X") and the header (period, SIRET). Read with the transmission product
// of this build, the same way the library reads the file.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qxtva {

struct DeclarationEnregistree {
    // By form name and box code, the boxes whose text is not empty.
    std::map<std::pair<std::string, std::string>, std::string> textes;
    // "debut", "fin" (AAAA-MM-JJ) and "siret", those the file gives.
    std::vector<std::pair<std::string, std::string>> entete;
};

// Empty when the file cannot be read: the library's reading says why.
DeclarationEnregistree lireDeclarationEnregistree(const std::string& chemin);

}  // namespace qxtva
