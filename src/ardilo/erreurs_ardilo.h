// The stand-in product's own error numbers. Each failure carries one of
// them with a French description.
#pragma once

#include <cstdint>

#include "platform/error.h"

namespace qx::ardilo::err {
inline constexpr int32_t RubriqueInconnue = hresult(0x80041001);   // box outside the form
inline constexpr int32_t FormulaireInconnu = hresult(0x80041002);  // unknown form type code
inline constexpr int32_t XmlMalForme = hresult(0x80041003);        // text that is not XML
inline constexpr int32_t XmlInvalide = hresult(0x80041004);        // XML that is no declaration
inline constexpr int32_t ModuleInconnu = hresult(0x80041005);      // set-up refused
inline constexpr int32_t NonPret = hresult(0x80041006);            // connector not ready
inline constexpr int32_t TransfertRefuse = hresult(0x80041007);    // sending service refused
inline constexpr int32_t EcritureDepot = hresult(0x80041008);      // outbox not writable
}  // namespace qx::ardilo::err
