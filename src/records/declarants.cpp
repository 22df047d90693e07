#include "records/declarants.h"

namespace qx {

// Negative numbers are kept: only the upper limit is enforced.
void AdresseDeclarant::SetvAdr_Numero(int16_t v) {
    if (v < kAdr_NumeroLimite) adrNumero_ = v;
}

}  // namespace qx
