#!/usr/bin/env python3
"""Writes the ledger exports (FEC) of the two samples' business events, as an
accounting package would export them for the tax office: 18 columns, a
header line, decimal commas, dates AAAAMMJJ.

The events are those of generer_donnees.py, replayed entry by entry. The FEC
has no VAT columns, so where the data file tells two kinds of lines apart
only by their category (a purchase from France or from another EU state, VAT
collected or taken back on a bad debt), the ledger books them on accounts of
their own, and the mapping file gives each account its rate and category:

- CA3 (Lyon bookshop): the firm's own chart, mapped by ca3/correspondances.txt;
  UTF-8, tab-separated.
- CA12 (La Réunion grocery): sales renumbered to the bundled French chart's
  convention (70x1r, r the digit of the 44571r VAT account), mapped by the
  default mapping; ISO-8859-15, "|"-separated.

Each FEC also holds an entry before and one after the period, which
`--debut`/`--fin` leave out.

    python3 samples/generer_fec.py DOSSIER   # writes DOSSIER/ca3.fec, DOSSIER/ca12.fec
"""
import re
import sys
from decimal import Decimal
from pathlib import Path

import generer_donnees as gd

COLONNES = ["JournalCode", "JournalLib", "EcritureNum", "EcritureDate", "CompteNum", "CompteLib",
            "CompAuxNum", "CompAuxLib", "PieceRef", "PieceDate", "EcritureLib", "Debit", "Credit",
            "EcritureLet", "DateLet", "ValidDate", "Montantdevise", "Idevise"]

LIBELLES = {"40": "Fournisseurs", "41": "Clients", "44": "TVA", "447": "Taxe vidéo", "51": "Banque",
            "53": "Caisse", "60": "Achats", "61": "Services extérieurs", "62": "Services extérieurs",
            "63": "Impôts et taxes", "65": "Pertes sur créances", "70": "Ventes", "21": "Immobilisations"}


def libelle(compte):
    for n in (3, 2):
        if compte[:n] in LIBELLES:
            return LIBELLES[compte[:n]]
    return "Compte " + compte


def compte_ca3(compte, typetaux, cat):
    if cat == "C" and compte.startswith("607"):
        return {"55": "607230", "20": "607210"}[typetaux]  # intra-EU acquisitions
    if cat == "R" and compte.startswith("44571"):
        return "4457183"  # VAT collected at 5.5 % taken back on a bad debt
    return compte


def compte_ca12(compte, typetaux, cat):
    if cat == "V" and compte[:2] == "70" and compte[3] == "1":
        r = {"20": "1", "10": "2", "55": "3", "21": "4", "85": "5"}[typetaux]
        return compte[:4] + r + compte[5:]  # 707110 at 2.1 % -> 707140
    return compte


def virgule(montant):
    return f"{montant:.2f}".replace(".", ",")


def ecritures(xml, date_defaut):
    """The entries of a data file's lines, in order: (journal, piece, date, [(account, amount, typetaux, cat)])."""
    journal, piece, date, lignes = "OD", None, date_defaut, []
    courantes = []
    for texte in xml:
        t = texte.strip()
        if m := re.match(r'<JOURNAL CODE="(\w+)"', t):
            journal = m.group(1)
        elif m := re.match(r'<MOIS NUMERO="(\d+)"', t):
            mois = int(m.group(1))
            date = f"2025{mois:02d}28"
        elif m := re.match(r'<PIECE NUMERO="([^"]+)"(?: DATE="([\d-]+)")?', t):
            piece = m.group(1)
            date = m.group(2).replace("-", "") if m.group(2) else date
        elif t.startswith("<LIGNE"):
            a = dict(re.findall(r'(\w+)="([^"]*)"', t))
            lignes.append((a["COMPTE"], Decimal(a["MONTANT"].replace(",", ".")), a["TYPETAUX"], a["CATEGORIEAV"]))
            if piece is None:  # a line straight under DONNEES or a month: one entry per balanced group
                if sum(l[1] for l in lignes) == 0:
                    courantes.append((journal, f"OD{len(courantes) + 1:03d}", date, lignes))
                    lignes = []
        elif t.startswith("</PIECE"):
            courantes.append((journal, piece, date, lignes))
            piece, lignes = None, []
        elif t.startswith("</JOURNAL") or t.startswith("</MOIS"):
            journal, date = "OD", date_defaut
    assert not lignes, "unbalanced lines left over"
    return courantes


def ecrire(chemin, ecrits, renommer, separateur, encodage, hors_periode):
    lignes = [separateur.join(COLONNES)]
    for numero, (journal, piece, date, mouvements) in enumerate(ecrits + hors_periode, 1):
        for compte, montant, typetaux, cat in mouvements:
            compte = renommer(compte, typetaux, cat)
            debit, credit = (montant, Decimal(0)) if montant > 0 else (Decimal(0), -montant)
            champs = [journal, {"CA": "Caisse", "VE": "Ventes", "AC": "Achats"}.get(journal, "Opérations diverses"),
                      str(numero), date, compte, libelle(compte), "", "", piece, date,
                      f"Pièce {piece}, montants en €",
                      virgule(debit), virgule(credit), "", "", date, "", ""]
            lignes.append(separateur.join(champs))
    Path(chemin).write_bytes(("\r\n".join(lignes) + "\r\n").encode(encodage))


def main():
    sortie = Path(sys.argv[1])
    sortie.mkdir(parents=True, exist_ok=True)
    g3 = gd.ca3()[0]
    hors3 = [("VE", "F2610-099", "20261030", [("411000", Decimal("1055.00"), "0", ""),
                                               ("707110", Decimal("-1000.00"), "55", "V"),
                                               ("445713", Decimal("-55.00"), "55", "V")]),
             ("VE", "F2612-001", "20261201", [("411000", Decimal("240.00"), "0", ""),
                                               ("707130", Decimal("-200.00"), "20", "V"),
                                               ("445711", Decimal("-40.00"), "20", "V")])]
    ecrire(sortie / "ca3.fec", ecritures(g3.xml, "20261130"), compte_ca3, "\t", "utf-8", hors3)
    g12 = gd.ca12()[0]
    hors12 = [("OD", "AN2024", "20241231", [("530000", Decimal("3070.00"), "0", ""),
                                             ("707110", Decimal("-3000.00"), "21", "V"),
                                             ("445714", Decimal("-63.00"), "21", "V"),
                                             ("445714", Decimal("-7.00"), "21", "V")]),
              ("OD", "AN2026", "20260102", [("401000", Decimal("-108.50"), "0", ""),
                                             ("445660", Decimal("8.50"), "85", "A"),
                                             ("607130", Decimal("100.00"), "85", "A")])]
    ecrire(sortie / "ca12.fec", ecritures(g12.xml, "20250315"), compte_ca12, "|", "iso-8859-15", hors12)


if __name__ == "__main__":
    main()
