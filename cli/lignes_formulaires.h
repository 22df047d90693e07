// Where a box stands on the printed form: its line number, as the form
// prints it ("08", "9B", "TD"), and the section of the form it belongs to.
#pragma once

#include <string_view>

namespace qxtva {

// Empty for a box without a line (the marks) or unknown to the form.
std::string_view numeroLigne(std::string_view formulaire, std::string_view code);

}  // namespace qxtva
