// The payment instructions that go with a declaration: payments, each with
// its direct debits, each debit with the bank account it draws on. Data
// only: nothing is checked or converted. The two collections number their
// members 1..Count in the order of adding and address them by an optional
// text key compared without regard to case (457 duplicate key, 9 position
// out of range, 5 unknown key).
// Single-threaded, like every object of the library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/collection.h"
#include "platform/value.h"

namespace qx {

class Cls_Rib : public Object {
public:
    const std::string& vTitulaire() const { return titulaire_; }
    void SetvTitulaire(std::string v) { titulaire_ = std::move(v); }
    const std::string& vIBAN() const { return iban_; }
    void SetvIBAN(std::string v) { iban_ = std::move(v); }
    const std::string& vGuichet() const { return guichet_; }
    void SetvGuichet(std::string v) { guichet_ = std::move(v); }
    const std::string& vCompte() const { return compte_; }
    void SetvCompte(std::string v) { compte_ = std::move(v); }
    const std::string& vComplement() const { return complement_; }
    void SetvComplement(std::string v) { complement_ = std::move(v); }
    const std::string& vCle() const { return cle_; }
    void SetvCle(std::string v) { cle_ = std::move(v); }
    const std::string& vBIC() const { return bic_; }
    void SetvBIC(std::string v) { bic_ = std::move(v); }
    const std::string& vBanque() const { return banque_; }
    void SetvBanque(std::string v) { banque_ = std::move(v); }

private:
    std::string titulaire_;
    std::string iban_;
    std::string guichet_;
    std::string compte_;
    std::string complement_;
    std::string cle_;
    std::string bic_;
    std::string banque_;
};

// A direct debit; obtained from Cls_Prelevements::Add only. It comes with an
// empty bank account; once that account is set to nothing, it stays nothing.
class Cls_Prelevement : public Object {
public:
    Cls_Prelevement();

    int16_t Key = 0;  // the number given to Add

    const std::string& vReference() const { return reference_; }
    void SetvReference(std::string v) { reference_ = std::move(v); }
    double vMontant() const { return montant_; }
    void SetvMontant(double v) { montant_ = v; }
    std::shared_ptr<qx::Cls_Rib> Cls_Rib() const { return rib_; }
    void SetCls_Rib(std::shared_ptr<qx::Cls_Rib> rib) { rib_ = std::move(rib); }

private:
    std::string reference_;
    double montant_ = 0.0;
    std::shared_ptr<qx::Cls_Rib> rib_;
};

class Cls_Prelevements : public Object {
public:
    // Appends a new debit with Key = intKey, under sKey when it is not empty.
    std::shared_ptr<Cls_Prelevement> Add(int16_t intKey, const std::string& sKey = {});
    std::shared_ptr<Cls_Prelevement> Item(const Value& vntIndexKey) const {
        return membres_.item(vntIndexKey);
    }
    int32_t Count() const { return membres_.count(); }
    void Remove(const Value& vntIndexKey) { membres_.remove(vntIndexKey); }
    // A snapshot, so that a host may change the collection while iterating.
    std::vector<std::shared_ptr<Cls_Prelevement>> NewEnum() const { return membres_.snapshot(); }

private:
    Collection<Cls_Prelevement> membres_;
};

// A payment. Its direct debits are created on first use: the collection is
// made by the first get, and made again after being set to nothing.
class Cls_Paiement : public Object {
public:
    int16_t Key = 0;  // the number given to Add

    const std::string& vReference() const { return reference_; }
    void SetvReference(std::string v) { reference_ = std::move(v); }
    int16_t vNbVirement() const { return nbVirement_; }
    void SetvNbVirement(int16_t v) { nbVirement_ = v; }
    int16_t vMode() const { return mode_; }
    void SetvMode(int16_t v) { mode_ = v; }
    std::shared_ptr<qx::Cls_Prelevements> Cls_Prelevements();
    void SetCls_Prelevements(std::shared_ptr<qx::Cls_Prelevements> p) {
        prelevements_ = std::move(p);
    }

private:
    // The debits without creating them: PrelevementsExistants below.
    friend const std::shared_ptr<qx::Cls_Prelevements>& PrelevementsExistants(const Cls_Paiement&);

    std::string reference_;
    int16_t nbVirement_ = 0;
    int16_t mode_ = 0;
    std::shared_ptr<qx::Cls_Prelevements> prelevements_;
};

class Cls_Paiements : public Object {
public:
    int32_t vPaiementImputation() const { return paiementImputation_; }
    void SetvPaiementImputation(int32_t v) { paiementImputation_ = v; }

    // Appends a new payment with Key = intKey, under sKey when it is not empty.
    std::shared_ptr<Cls_Paiement> Add(int16_t intKey, const std::string& sKey = {});
    std::shared_ptr<Cls_Paiement> Item(const Value& vntIndexKey) const {
        return membres_.item(vntIndexKey);
    }
    int32_t Count() const { return membres_.count(); }
    void Remove(const Value& vntIndexKey) { membres_.remove(vntIndexKey); }
    // A snapshot, so that a host may change the collection while iterating.
    std::vector<std::shared_ptr<Cls_Paiement>> NewEnum() const { return membres_.snapshot(); }

private:
    int32_t paiementImputation_ = 0;
    Collection<Cls_Paiement> membres_;
};

// The library side of a payment: its debits without creating them (none
// when never asked for), so that reading a payment does not change it.
inline const std::shared_ptr<Cls_Prelevements>& PrelevementsExistants(const Cls_Paiement& p) {
    return p.prelevements_;
}

}  // namespace qx
