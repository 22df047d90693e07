// The forms the stand-in product knows, by type code, each with the fixed
// list of its box codes and French labels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qx::ardilo {

struct RubriqueCatalogue {
    std::string_view code;
    std::string_view intitule;
};

struct FormulaireCatalogue {
    int16_t type;
    std::string_view nom;
    std::span<const RubriqueCatalogue> rubriques;
};

// The form of a type code, or nothing for a code the product does not know.
const FormulaireCatalogue* formulaireCatalogue(int32_t type);
// The box of a code (letter case ignored), or nothing.
const RubriqueCatalogue* rubriqueCatalogue(const FormulaireCatalogue& formulaire,
                                           std::string_view code);

}  // namespace qx::ardilo
