// The objects of the installed product, reached through automation late
// binding by the names of its object library, behind the library's
// interfaces (Windows only). An adapter holds one reference on its object
// and gives it back when released; the same object read twice gives two
// adapters of the same object.
#pragma once

#include <memory>

#include "platform/automation_client.h"
#include "transmission/ardilo_interface.h"

namespace qx {

// The library's view of an automation object; none for none.
std::shared_ptr<Connecteur> AdapterConnecteur(std::shared_ptr<AutomationObject> objet);
std::shared_ptr<DeclarationEdi> AdapterDeclarationEdi(std::shared_ptr<AutomationObject> objet);

// The automation object behind an adapter; none for an object of the
// library's own (the linked-in stand-in), so that a host is handed the
// product's own connector and nothing else.
std::shared_ptr<AutomationObject> ObjetAutomationDe(const ObjectRef& objet);

}  // namespace qx
