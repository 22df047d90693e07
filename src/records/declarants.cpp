#include "records/declarants.h"

namespace qx {

// Negative numbers are kept: only the upper limit is enforced.
void Cls_Redevable::SetvAdr_Numero(int16_t v) {
    if (v < kAdr_NumeroLimite) adrNumero_ = v;
}

void Cls_Redacteur::SetvAdr_Numero(int16_t v) {
    if (v < kAdr_NumeroLimite) adrNumero_ = v;
}

}  // namespace qx
