// The options every computing subcommand shares, read and set together.
#pragma once

#include <string>

#include "options.h"

namespace qxtva {

// --type, --acompte and --date-jour (each optional) read, and only then set
// for this thread's computations: the type they set.
std::string appliquerOptionsCalcul(const Options& options);

}  // namespace qxtva
