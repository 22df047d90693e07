// Computes a return with the installed library and prints its amount to pay:
// calcul_ca3 DONNEES.xml RUBRIQUES.xml prints "CA3KE=584 forcée" for the sample.
#include <iostream>

#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "platform/error.h"
#include "rubrics/rubrique.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage : calcul_ca3 DONNEES.xml RUBRIQUES.xml\n";
        return 64;
    }
    try {
        // As a host does: the declaration object sets the thread's type, CA3.
        qx::Cls_DeclarationTVA declaration;
        auto calcul = qx::CCalculTVA::Creer();
        calcul->Init(argv[1], argv[2], "");
        auto ke = calcul->Rubriques()->Item(qx::Value(std::string("CA3KE")));
        std::cout << "CA3KE=" << ke->AsXML() << (ke->IsForce() ? " forcée" : "") << '\n';
        return 0;
    } catch (const qx::Error& e) {
        std::cerr << "erreur " << e.number() << " : " << e.description() << '\n';
        return 2;
    }
}
