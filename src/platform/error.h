// Numbered failures. Every failure of the library is one of these: a 32-bit
// number as a host sees it (run-time numbers 5, 6, 9, 13..., engine numbers
// 0x80040201...) and a French description.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace qx {

// Standard run-time numbers a host's language runtime also raises.
namespace err {
inline constexpr int32_t AppelIncorrect = 5;     // invalid procedure call or argument
inline constexpr int32_t Depassement = 6;        // overflow
inline constexpr int32_t HorsSelection = 9;      // subscript out of range
inline constexpr int32_t TypeIncompatible = 13;  // type mismatch
inline constexpr int32_t AccesFichier = 75;      // path/file access error
inline constexpr int32_t ObjetNonDefini = 91;    // object variable not set
inline constexpr int32_t NullIncorrect = 94;     // invalid use of Null
inline constexpr int32_t CreationObjet = 429;    // component cannot create object
inline constexpr int32_t CleExistante = 457;     // key already associated
}  // namespace err

class Error : public std::exception {
public:
    Error(int32_t number, std::string description)
        : number_(number), description_(std::move(description)) {}

    // A run-time error with the description a French host shows for it.
    static Error runtime(int32_t number);

    int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string description_;
};

// The French description of a standard run-time number; empty for others.
std::string runtimeDescription(int32_t number);

// A 32-bit number given as its unsigned hexadecimal form (0x80040203) seen
// as the signed value a host receives.
constexpr int32_t hresult(uint32_t value) {
    return static_cast<int32_t>(value);
}

}  // namespace qx
