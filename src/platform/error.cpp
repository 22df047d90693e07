#include "platform/error.h"

#include <cstdio>
#include <new>

namespace qx {
namespace {

struct Entry {
    int32_t number;
    std::string_view description;
};

// Descriptions as a French host shows them.
constexpr Entry kTable[] = {
    {err::AppelIncorrect, "Argument ou appel de procédure incorrect"},
    {err::Depassement, "Dépassement de capacité"},
    {err::MemoireInsuffisante, "Mémoire insuffisante"},
    {err::HorsSelection, "L'indice n'appartient pas à la sélection"},
    {err::TypeIncompatible, "Incompatibilité de type"},
    {err::EspacePile, "Espace pile insuffisant"},
    {err::ErreurInterne, "Erreur interne"},
    {err::FichierIntrouvable, "Fichier introuvable"},
    {err::FinDeFichier, "Tentative de lecture après la fin du fichier"},
    {err::AccesFichier, "Erreur d'accès au chemin/fichier"},
    {err::ObjetNonDefini, "Variable objet ou variable de bloc With non définie"},
    {err::NullIncorrect, "Utilisation incorrecte de Null"},
    {err::CreationObjet, "Un composant ActiveX ne peut pas créer un objet"},
    {err::MembreInconnu, "Propriété ou méthode non gérée par cet objet"},
    {err::NombreArguments, "Nombre d'arguments incorrect ou affectation de propriété incorrecte"},
    {err::CleExistante, "Cette clé est déjà associée à un élément de cette collection"},
    {err::ErrCalcul_Init, "Erreur lors de l'initialisation de l'objet de Calcul de la TVA"},
    {err::ErrCalcul_FichierDonnees, "Le fichier de données comptable n'existe pas"},
    {err::ErrCalcul_FichierRubriques, "Le fichier de description de rubrique n'existe pas"},
    {err::ErrCalcul_CheminResultat, "Le chemin du fichier de résultat n'est pas définit"},
    {err::ErrCalcul_ChargementResultat,
     "Cas non prévue par la dll : Impossible de charger un fichier résultat en tant que fichier "
     "de données"},
    {err::ErrCalcul_DocumentXML, "Impossible de créer un document XML"},
    {err::ErrFEC_Entete, "En-tête absent ou incomplet dans le fichier des écritures comptables"},
    {err::ErrFEC_Ligne, "Ligne illisible dans le fichier des écritures comptables"},
    {err::ErrFEC_Correspondances, "Ligne illisible dans le fichier de correspondances"},
};

// Run-time numbers are small positive ones; result codes have the high bit set.
constexpr bool isRuntimeNumber(int32_t number) {
    return number > 0 && number <= 0xFFFF;
}

}  // namespace

std::string_view errorDescription(int32_t number) {
    for (const Entry& entry : kTable)
        if (entry.number == number) return entry.description;
    return {};
}

std::string errorNumberText(int32_t number) {
    if (isRuntimeNumber(number)) return std::to_string(number);
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(number));
    return text;
}

bool isEngineNumber(int32_t number) {
    return number >= err::ErrCalcul_Init && number <= err::ErrCalcul_DocumentXML;
}

int32_t hostResultCode(int32_t number) {
    return isRuntimeNumber(number) ? hresult(0x800A0000u + static_cast<uint32_t>(number)) : number;
}

int32_t numberOfResultCode(int32_t code) {
    const auto bits = static_cast<uint32_t>(code);
    const auto number = static_cast<int32_t>(bits & 0xFFFFu);
    return (bits & 0xFFFF0000u) == 0x800A0000u && isRuntimeNumber(number) ? number : code;
}

Error Error::runtime(int32_t number) {
    return Error(number, std::string(errorDescription(number)));
}

Error Error::fromCurrentException() {
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return runtime(err::MemoireInsuffisante);
    } catch (const std::exception& e) {
        return Error(err::ErreurInterne,
                     std::string(errorDescription(err::ErreurInterne)) + " : " + e.what());
    } catch (...) {
        return runtime(err::ErreurInterne);
    }
}

void Error::rethrowIfOutOfMemory() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const Error& e) {
        if (e.number() == err::MemoireInsuffisante) throw;
    } catch (...) {
    }
}

}  // namespace qx
