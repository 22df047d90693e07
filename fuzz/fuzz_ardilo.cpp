// The stand-in product's declaration read from its XML, then written and
// read again: what it accepted once it must accept in its own words.
#include "ardilo/declaration_substitut.h"
#include "fuzz_entree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string xml(qx::fuzz::texte(data, size));
    qx::fuzz::sansPlantage([&] {
        qx::ardilo::DeclarationSubstitut declaration;
        declaration.ChargerDepuisXML(xml);
        const std::string ecrit = declaration.TexteXML();
        qx::ardilo::DeclarationSubstitut relue;
        try {
            relue.ChargerDepuisXML(ecrit);
        } catch (const qx::Error&) {
            __builtin_trap();
        }
        if (relue.TexteXML() != ecrit) __builtin_trap();
        declaration.MontantAPayer();
    });
    return 0;
}
