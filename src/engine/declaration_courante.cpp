#include "engine/declaration_courante.h"

namespace qx {
namespace {
thread_local std::string typeDeclaration;
thread_local TableAcomptes acomptes{};
}  // namespace

const std::string& TypeDeclarationCourant() {
    return typeDeclaration;
}
void DefinirTypeDeclaration(std::string type) {
    typeDeclaration = std::move(type);
}
TableAcomptes& Acomptes() {
    return acomptes;
}

}  // namespace qx
