// The stand-in product's sending service. A transfer stores the
// declaration as a pivot file (the UTF-8 XML after a byte-order mark) and
// its header as a small XML file, side by side in the product's outbox:
//   <outbox>/ARD-yyyymmdd-nnnn.xml         the declaration
//   <outbox>/ARD-yyyymmdd-nnnn.entete.xml  root "EnteteTransfert", one attribute per field
// The outbox is the product's own setting: the connector's dossierEnvoi
// when set, otherwise the environment variable ARDILO_OUTBOX, otherwise
// $HOME/.ardilo/envoi (%USERPROFILE%\.ardilo\envoi on Windows, the
// temporary folder's ardilo/envoi without either).
// Single-threaded.
#pragma once

#include <memory>
#include <string>

#include "ardilo/declaration_substitut.h"
#include "transmission/ardilo_interface.h"

namespace qx::ardilo {

// The module the library asks for; any other is refused at set-up.
inline constexpr std::string_view kModuleTva = "EdiVat";

// What a connector does, so that the failures of a real service can be
// reproduced: a service that is not ready, or one that refuses transfers.
struct ReglagesConnecteur {
    bool pret = true;
    std::string refus;         // not empty: every transfer is refused for this reason
    std::string dossierEnvoi;  // empty: the outbox named above
};

std::string dossierEnvoi(const ReglagesConnecteur& reglages);

class ConnecteurSubstitut : public Connecteur,
                            public std::enable_shared_from_this<ConnecteurSubstitut> {
public:
    explicit ConnecteurSubstitut(ReglagesConnecteur reglages = {})
        : reglages_(std::move(reglages)) {}

    void DefinirLancement(const std::string& arguments) override { lancement_ = arguments; }
    // Raises ModuleInconnu for any module but "EdiVat".
    void DefinirModule(const std::string& module) override;
    // Ready once the VAT module is chosen, unless set not to be.
    bool EstPret() override;
    std::shared_ptr<qx::TransfertEdi> Transfert() override;

    // Why the last transfer through this connector failed; empty when none
    // did. The library only shows its fixed message box, so a caller without
    // a screen (the tool) reads the reason here.
    const std::string& dernierEchec() const { return dernierEchec_; }
    void noterEchec(std::string raison) { dernierEchec_ = std::move(raison); }

    const std::string& lancement() const { return lancement_; }
    const std::string& module() const { return module_; }
    ReglagesConnecteur& reglages() { return reglages_; }

private:
    ReglagesConnecteur reglages_;
    std::string lancement_;
    std::string module_;
    std::string dernierEchec_;
};

class TransfertSubstitut : public TransfertEdi, public AvecChamps {
public:
    explicit TransfertSubstitut(std::shared_ptr<ConnecteurSubstitut> connecteur);

    void SetCommentaires(const std::string& v) override { champs_.definir("Commentaires", v); }
    void SetDescription(const std::string& v) override { champs_.definir("Description", v); }
    void SetOpCoCode(int16_t v) override { champs_.definir("OpCoCode", std::to_string(v)); }
    void SetTestFile(bool v) override { champs_.definir("TestFile", v ? "1" : "0"); }
    void SetDateDebut(const std::string& v) override { champs_.definir("DateDebut", v); }
    void SetDateFin(const std::string& v) override { champs_.definir("DateFin", v); }
    void SetSIRET(const std::string& v) override { champs_.definir("SIRET", v); }
    void SetNomDebiteur(const std::string& v) override { champs_.definir("NomDebiteur", v); }
    // Checks the declaration, writes the deposit and gives
    // "Dépôt ARD-yyyymmdd-nnnn accepté : <path of the pivot file>".
    std::string Transferer(const std::string& xml) override;

private:
    std::string deposer(const std::string& xml);

    std::shared_ptr<ConnecteurSubstitut> connecteur_;
};

}  // namespace qx::ardilo
