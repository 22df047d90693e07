// Which file a failure of the library is about. The library's messages for a
// missing input file do not name it, and hosts know them as they are; the
// tool adds the path after them.
#pragma once

#include <string>
#include <string_view>

#include "commande.h"

namespace qx {
class Error;
}

namespace qxtva {

// The failure's description, followed by " : PATH" when it is about a file
// given by an option (--donnees, --rubriques) and does not name it yet.
std::string descriptionAvecChemin(const qx::Error& erreur, const Arguments& arguments);

// The same for the two files of one computation, when they are known.
std::string descriptionAvecChemin(const qx::Error& erreur, std::string_view donnees,
                                  std::string_view rubriques);

}  // namespace qxtva
