// The host's array of TRubr records (a SAFEARRAY of the type library's
// record) to the library's table and back.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <vector>

#include "declaration/declaration_tva.h"

namespace qx::com {

// The entries of the host's array by index (none for no array); 13 for an
// array of anything else.
std::vector<qx::TRubr> lireTableau(const SAFEARRAY* tableau);
// Replaces the host's array by one with the table's indices (from 0).
void ecrireTableau(const std::vector<qx::TRubr>& table, SAFEARRAY** tableau);

}  // namespace qx::com
