// Base x rate checks of the computed "CA3" and "CA12" forms. In correction
// mode a small gap is closed by forcing the tax rubric to the computed tax.
#pragma once

#include <memory>
#include <string>

namespace qx {

class CCalculTVA;

// True when the run ends normally; false at the first disagreeing row in
// validation mode and after an unexpected failure (sMessage then holds
// "NUMBER, description"). Never raises.
bool ControlerCoherence(const std::shared_ptr<CCalculTVA>& oCalcul, std::string& sMessage,
                        bool bCorriger);

// The correction made at the end of every computation. What the check would
// report does not stop the computation; running out of memory does, since
// the forms would then go out uncorrected.
void CorrigerCoherence(const std::shared_ptr<CCalculTVA>& oCalcul);

}  // namespace qx
