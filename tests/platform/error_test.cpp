#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <set>
#include <stdexcept>

#include "platform/error.h"

namespace qx {
namespace {

// Every number the library raises, each with the start of its description.
// clang-format off
const std::pair<int32_t, const char*> kNumeros[] = {
    {5, "Argument ou appel"}, {6, "Dépassement"}, {7, "Mémoire insuffisante"},
    {9, "L'indice"}, {13, "Incompatibilité de type"}, {28, "Espace pile"},
    {51, "Erreur interne"}, {53, "Fichier introuvable"}, {62, "Tentative de lecture"},
    {75, "Erreur d'accès"}, {91, "Variable objet"}, {94, "Utilisation incorrecte de Null"},
    {429, "Un composant ActiveX"}, {438, "Propriété ou méthode"}, {450, "Nombre d'arguments"},
    {457, "Cette clé"},
    {hresult(0x80040201), "Erreur lors de l'initialisation"},
    {hresult(0x80040202), "Le fichier de données comptable"},
    {hresult(0x80040203), "Le fichier de description de rubrique"},
    {hresult(0x80040204), "Le chemin du fichier de résultat"},
    {hresult(0x80040205), "Cas non prévue"},
    {hresult(0x80040206), "Impossible de créer un document XML"}};
// clang-format on

TEST(ErrorTableTest, EveryNumberHasItsOwnDescription) {
    std::set<std::string_view> vues;
    for (const auto& [numero, debut] : kNumeros) {
        const Error e = Error::runtime(numero);
        EXPECT_EQ(e.number(), numero);
        EXPECT_EQ(e.description().rfind(debut, 0), 0u) << numero << ": " << e.description();
        EXPECT_TRUE(vues.insert(errorDescription(numero)).second) << numero;
        EXPECT_EQ(isEngineNumber(numero), numero < 0) << numero;
    }
    for (int32_t autre :
         {0, 1, 8, 52, 458, hresult(0x80040200), hresult(0x80040207), hresult(0xC00CE501)}) {
        EXPECT_TRUE(errorDescription(autre).empty()) << autre;
        EXPECT_FALSE(isEngineNumber(autre)) << autre;
    }
}

TEST(ErrorTableTest, HostSeesRunTimeNumbersInTheirFacility) {
    // clang-format off
    const std::pair<int32_t, uint32_t> cas[] = {
        {5, 0x800A0005u}, {13, 0x800A000Du}, {94, 0x800A005Eu}, {457, 0x800A01C9u},
        {0xFFFF, 0x800AFFFFu}, {hresult(0x80040203), 0x80040203u},
        {hresult(0xC00CE501), 0xC00CE501u}, {hresult(0x80041002), 0x80041002u}};
    // clang-format on
    for (const auto& [numero, attendu] : cas) {
        EXPECT_EQ(static_cast<uint32_t>(hostResultCode(numero)), attendu) << numero;
        // What another component returns reads back as the same number.
        EXPECT_EQ(numberOfResultCode(hostResultCode(numero)), numero) << numero;
        // People quote a run-time number as such, any other as the host's code.
        const bool enExecution = attendu >> 16 == 0x800Au;
        char hexadecimal[11];
        std::snprintf(hexadecimal, sizeof hexadecimal, "0x%08X", attendu);
        EXPECT_EQ(errorNumberText(numero), enExecution ? std::to_string(numero) : hexadecimal);
    }
    // The bare facility is no run-time number.
    EXPECT_EQ(numberOfResultCode(hresult(0x800A0000)), hresult(0x800A0000));
}

TEST(ErrorTableTest, ExceptionInFlightBecomesNumbered) {
    const std::pair<std::function<void()>, std::string> cas[] = {
        {[] { throw Error(hresult(0x80040203), "à moi"); }, "-2147220989 à moi"},
        {[] { throw std::bad_alloc(); }, "7 Mémoire insuffisante"},
        {[] { throw std::runtime_error("disque plein"); }, "51 Erreur interne : disque plein"},
        {[] { throw 42; }, "51 Erreur interne"}};
    for (const auto& [lever, attendu] : cas) {
        try {
            lever();
        } catch (...) {
            const Error e = Error::fromCurrentException();
            EXPECT_EQ(std::to_string(e.number()) + " " + e.description(), attendu);
        }
    }
}

}  // namespace
}  // namespace qx
