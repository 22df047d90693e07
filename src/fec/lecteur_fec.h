// Streams a French legal ledger export (FEC): a header line naming the
// columns (JournalCode ... Idevise), then one line per entry line, fields
// separated by a tab or "|" (the header's choice), amounts with a decimal
// comma (a point is read too), dates AAAAMMJJ. A line that is not valid
// UTF-8 is read as ISO-8859-15, so that both encodings of the norm pass.
// Memory stays flat in the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_line_reader.h"

namespace qx::fec {

// Amounts in ten-thousandths of a unit: sums stay exact.
using Montant = int64_t;
inline constexpr Montant kUnite = 10000;

struct LigneFEC {
    std::string_view compte;         // CompteNum
    std::string_view libelleCompte;  // CompteLib, UTF-8
    int32_t date = 0;                // EcritureDate as AAAAMMJJ
    Montant debit = 0;
    Montant credit = 0;
};

class LecteurFEC {
public:
    // The columns the reader needs, in the norm's spelling.
    static constexpr std::string_view kColonnes[] = {"EcritureDate", "CompteNum", "CompteLib",
                                                     "Debit", "Credit"};

    // Opens the file and reads its header. Raises 53 for a missing file,
    // err::ErrFEC_Entete for an empty file or a header without those columns.
    explicit LecteurFEC(const std::string& chemin);

    // The next entry line (blank lines are skipped); false at the end. A
    // line with the wrong number of fields, an unreadable date or amount,
    // or no account raises err::ErrFEC_Ligne naming the line and the column.
    bool Suivante(LigneFEC& ligne);
    uint64_t NumeroLigne() const { return fichier_.lineNumber(); }
    char Separateur() const { return separateur_; }
    uint64_t OctetsLus() const { return fichier_.bytesRead(); }
    uint64_t Taille() const { return fichier_.size(); }

private:
    [[noreturn]] void Echec(std::string_view colonne, const std::string& raison) const;
    std::string_view Texte(std::string_view brut);  // as UTF-8

    TextLineReader fichier_;
    std::string chemin_;
    char separateur_ = '\t';
    size_t nombreColonnes_ = 0;
    size_t colonne_[5] = {};  // position of each of kColonnes
    std::vector<std::string_view> champs_;
    std::string utf8_;
};

// "AAAAMMJJ" as a number, or -1 when it is not a real day.
int32_t LireDateFEC(std::string_view texte);
// "-1234,56", "1234.5", blanks around; empty gives 0. At most four
// decimals. False when the text is no such amount.
bool LireMontantFEC(std::string_view texte, Montant& montant);
// "-1234.56": the amount with at least two decimals, a point, no zeros beyond.
std::string MontantVersTexte(Montant montant);

}  // namespace qx::fec
