// What the files of the Python module share: the day, the declaration type
// and the instalments of the calling thread, set as a host sets them, and
// the definitions each file adds to the module.
#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

namespace qxtva_python {

// "AAAA-MM-JJ" as today's date, when given; raises 13 for anything else.
void fixerJour(const std::optional<std::string>& jour);
// The declaration type and the instalments {numero: (paye, restant)}.
void fixerDeclaration(const std::string& type, const pybind11::dict& acomptes);

// qxtva.explique and its classes.
void definirExplique(pybind11::module_& m);

}  // namespace qxtva_python
