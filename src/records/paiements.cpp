#include "records/paiements.h"

namespace qx {

Cls_Prelevement::Cls_Prelevement() : rib_(std::make_shared<qx::Cls_Rib>()) {}

std::shared_ptr<Cls_Prelevement> Cls_Prelevements::Add(int16_t intKey, const std::string& sKey) {
    auto prelevement = std::make_shared<Cls_Prelevement>();
    prelevement->Key = intKey;
    // On a duplicate key the collection raises 457 before appending: the
    // new record is simply dropped.
    membres_.add(prelevement, sKey);
    return prelevement;
}

std::shared_ptr<qx::Cls_Prelevements> Cls_Paiement::Cls_Prelevements() {
    if (!prelevements_) prelevements_ = std::make_shared<qx::Cls_Prelevements>();
    return prelevements_;
}

std::shared_ptr<Cls_Paiement> Cls_Paiements::Add(int16_t intKey, const std::string& sKey) {
    auto paiement = std::make_shared<Cls_Paiement>();
    paiement->Key = intKey;
    membres_.add(paiement, sKey);
    return paiement;
}

}  // namespace qx
