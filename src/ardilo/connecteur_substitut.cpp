#include "ardilo/connecteur_substitut.h"

#include <cstdio>

#include "ardilo/erreurs_ardilo.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/safe_file.h"
#include "platform/xml_document.h"

namespace qx::ardilo {
namespace {

[[noreturn]] void echecEcriture(const std::string& chemin, const std::string& raison) {
    throw Error(err::EcritureDepot, "Impossible d'écrire le dépôt « " + chemin +
                                        " » dans le dossier d'envoi : " + raison);
}

std::string prefixeDuJour() {
    CivilDate c = toCivil(aujourdhui());
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "ARD-%04d%02d%02d-", c.year, c.month, c.day);
    return buffer;
}

// The next deposit number of the day: one more than the highest present.
int prochainNumero(const std::string& dossier, const std::string& prefixe) {
    int plusHaut = 0;
    for (const std::string& nom : folderEntries(dossier)) {
        if (nom.rfind(prefixe, 0) != 0 || nom.size() < prefixe.size() + 4) continue;
        int n = 0;
        bool chiffres = true;
        for (size_t i = prefixe.size(); i < prefixe.size() + 4; ++i) {
            if (nom[i] < '0' || nom[i] > '9') chiffres = false;
            n = n * 10 + (nom[i] - '0');
        }
        if (chiffres && n > plusHaut) plusHaut = n;
    }
    return plusHaut + 1;
}

}  // namespace

std::string dossierEnvoi(const ReglagesConnecteur& reglages) {
    if (!reglages.dossierEnvoi.empty()) return reglages.dossierEnvoi;
    std::optional<std::string> outbox = environmentVariable("ARDILO_OUTBOX");
    if (outbox && !outbox->empty()) return *outbox;
    // Windows has no HOME but a user profile.
    for (const char* home : {"HOME", "USERPROFILE"}) {
        std::optional<std::string> dossier = environmentVariable(home);
        if (dossier && !dossier->empty()) return joinPath(joinPath(*dossier, ".ardilo"), "envoi");
    }
    return joinPath(joinPath(temporaryFolder(), "ardilo"), "envoi");
}

void ConnecteurSubstitut::DefinirModule(const std::string& module) {
    if (module != kModuleTva)
        throw Error(err::ModuleInconnu,
                    "Le module « " + module + " » n'est pas disponible dans Ardilo direct.");
    module_ = module;
}

bool ConnecteurSubstitut::EstPret() {
    return reglages_.pret && module_ == kModuleTva;
}

std::shared_ptr<qx::TransfertEdi> ConnecteurSubstitut::Transfert() {
    return std::make_shared<TransfertSubstitut>(shared_from_this());
}

TransfertSubstitut::TransfertSubstitut(std::shared_ptr<ConnecteurSubstitut> connecteur)
    : AvecChamps({"Commentaires", "Description", "OpCoCode", "TestFile", "DateDebut", "DateFin",
                  "SIRET", "NomDebiteur"}),
      connecteur_(std::move(connecteur)) {}

std::string TransfertSubstitut::Transferer(const std::string& xml) {
    try {
        std::string reponse = deposer(xml);
        connecteur_->noterEchec({});
        return reponse;
    } catch (const Error& e) {
        connecteur_->noterEchec(e.description());
        throw;
    }
}

std::string TransfertSubstitut::deposer(const std::string& xml) {
    if (!connecteur_->EstPret())
        throw Error(err::NonPret, "Ardilo direct n'est pas prêt à transférer la déclaration.");
    if (!connecteur_->reglages().refus.empty())
        throw Error(err::TransfertRefuse, "Le transfert a été refusé par Ardilo direct : " +
                                              connecteur_->reglages().refus);

    std::string_view texte = xml;
    if (texte.substr(0, kMarqueUtf8.size()) == kMarqueUtf8) texte.remove_prefix(kMarqueUtf8.size());
    // Only a declaration the product can read back is accepted.
    DeclarationSubstitut verification;
    verification.ChargerDepuisXML(std::string(texte));

    const std::string dossier = dossierEnvoi(connecteur_->reglages());
    if (std::string raison = createFolders(dossier); !raison.empty())
        echecEcriture(dossier, raison);

    XmlDocument entete;
    XmlElement racine = entete.createRoot("EnteteTransfert");
    champs_.ecrire(racine);
    racine.setAttribute("Lancement", connecteur_->lancement());
    racine.setAttribute("Module", connecteur_->module());
    std::string texteEntete = entete.toText(true, true);

    std::string pivot(kMarqueUtf8);
    pivot += texte;

    // Both files are whole on disk before either takes its name; the pivot
    // file claims the number, so a failure leaves nothing and uses none.
    std::string prefixe = prefixeDuJour();
    PendingFile fichierEntete(joinPath(dossier, "entete.xml"), texteEntete);
    PendingFile fichierPivot(joinPath(dossier, "pivot.xml"), pivot);
    for (int numero = prochainNumero(dossier, prefixe); numero <= 9999; ++numero) {
        char suffixe[16];
        std::snprintf(suffixe, sizeof suffixe, "%04d", numero);
        std::string nom = prefixe + suffixe;
        const std::string chemin = joinPath(dossier, nom + ".xml");
        // A deposit that another sender took meanwhile: try the next number.
        if (!fichierPivot.publishNew(chemin)) continue;
        try {
            // A header left by an older failure has no declaration: replaced.
            fichierEntete.replace(joinPath(dossier, nom + ".entete.xml"));
        } catch (...) {
            removeFile(chemin);
            throw;
        }
        return "Dépôt " + nom + " accepté : " + chemin;
    }
    echecEcriture(dossier, "plus aucun numéro de dépôt libre pour ce jour");
}

}  // namespace qx::ardilo
