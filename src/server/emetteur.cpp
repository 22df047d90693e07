// Cls_Emetteur: the emitter record.
#include "records/declarants.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Emetteur : public Automation<Emetteur, _Cls_Emetteur, qx::Cls_Emetteur> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Emetteur; }

    QX_PROPRIETE_TEXTE(vCode)
    QX_PROPRIETE_TEXTE(vNom)
    QX_PROPRIETE_TEXTE(vEmail)
    QX_PROPRIETE_TEXTE(vSMS)
    QX_PROPRIETE_TEXTE(vCodeApplication)
    QX_PROPRIETE_TEXTE(vNomApplication)
    QX_PROPRIETE_TEXTE(vVersionApplication)
};

}  // namespace

_Cls_Emetteur* envelopper(const std::shared_ptr<qx::Cls_Emetteur>& objet) {
    return Emetteur::envelopper(objet);
}

HRESULT creerEmetteur(REFIID iid, void** sortie) {
    return creerObjet<Emetteur>(iid, sortie, [] { return std::make_shared<qx::Cls_Emetteur>(); });
}

}  // namespace qx::com
