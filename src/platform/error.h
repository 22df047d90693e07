// Numbered failures. Every failure of the library is one of these: a 32-bit
// number and a French description. The numbers the library raises are all
// named here, with their descriptions in one table (error.cpp).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace qx {

// A 32-bit number given as its unsigned hexadecimal form (0x80040203) seen
// as the signed value a host receives.
constexpr int32_t hresult(uint32_t value) {
    return static_cast<int32_t>(value);
}

namespace err {
// Standard run-time numbers, the ones a host's language runtime also raises.
inline constexpr int32_t AppelIncorrect = 5;       // invalid procedure call or argument
inline constexpr int32_t Depassement = 6;          // overflow
inline constexpr int32_t MemoireInsuffisante = 7;  // out of memory
inline constexpr int32_t HorsSelection = 9;        // subscript out of range
inline constexpr int32_t TypeIncompatible = 13;    // type mismatch
inline constexpr int32_t EspacePile = 28;          // out of stack space
inline constexpr int32_t ErreurInterne = 51;       // internal error
inline constexpr int32_t FichierIntrouvable = 53;  // file not found
inline constexpr int32_t FinDeFichier = 62;        // input past end of file
inline constexpr int32_t AccesFichier = 75;        // path/file access error
inline constexpr int32_t ObjetNonDefini = 91;      // object variable not set
inline constexpr int32_t NullIncorrect = 94;       // invalid use of Null
inline constexpr int32_t CreationObjet = 429;      // component cannot create object
inline constexpr int32_t MembreInconnu = 438;      // object does not support the property or method
inline constexpr int32_t NombreArguments = 450;    // wrong number of arguments
inline constexpr int32_t CleExistante = 457;       // key already associated

// The calculation engine's own numbers (object-error base plus 0x201..0x206).
inline constexpr int32_t ErrCalcul_Init = hresult(0x80040201);
inline constexpr int32_t ErrCalcul_FichierDonnees = hresult(0x80040202);
inline constexpr int32_t ErrCalcul_FichierRubriques = hresult(0x80040203);
inline constexpr int32_t ErrCalcul_CheminResultat = hresult(0x80040204);
inline constexpr int32_t ErrCalcul_ChargementResultat = hresult(0x80040205);
inline constexpr int32_t ErrCalcul_DocumentXML = hresult(0x80040206);

// The ledger export (FEC) reader and its account mapping; their descriptions
// name the file, the line and, for the ledger, the column.
inline constexpr int32_t ErrFEC_Entete = hresult(0x80042001);  // header missing or incomplete
inline constexpr int32_t ErrFEC_Ligne = hresult(0x80042002);   // a line that cannot be read
inline constexpr int32_t ErrFEC_Correspondances = hresult(0x80042003);  // a mapping line
}  // namespace err

class Error : public std::exception {
public:
    Error(int32_t number, std::string description)
        : number_(number), description_(std::move(description)) {}

    // A failure of the table with its French description (run-time and
    // engine numbers alike).
    static Error runtime(int32_t number);

    // The exception in flight as a numbered failure; call only inside a
    // catch handler. A qx::Error is itself; memory exhaustion is 7; any other
    // exception is the internal error 51 with its own text.
    static Error fromCurrentException();

    // Inside a catch handler that lets a failure go by (a box the product
    // lacks, an optional step): rethrows it when it is memory exhaustion,
    // which no caller may take for a result.
    static void rethrowIfOutOfMemory();

    int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string description_;
};

// The French description of a number of the table; empty for any other.
std::string_view errorDescription(int32_t number);

// The number as people quote it: a run-time number in decimal ("53"), any
// other, a result code, in hexadecimal as hosts show it ("0x80040202").
std::string errorNumberText(int32_t number);

// Whether the number is one of the engine's six.
bool isEngineNumber(int32_t number);

// The result code a host sees for a failure: a run-time number n becomes
// 0x800A0000 + n (what a host language reads back as n); engine, parser and
// other numbers that already are result codes pass unchanged.
int32_t hostResultCode(int32_t number);

// The number a result code of another component stands for, the reverse of
// hostResultCode: 0x800A0000 + n is the run-time number n; any other code
// is its own number.
int32_t numberOfResultCode(int32_t code);

}  // namespace qx
