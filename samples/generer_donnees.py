#!/usr/bin/env python3
"""Writes the accounting data files of the samples and prints, box by box,
the figures a VAT accountant would put on the return for them.

The figures are tallied from the business events themselves (a book sold at
5.5 % goes to the 5.5 % line, a deductible VAT on a fixed asset to line 19),
not by matching accounts against the rubric parameter file, so that they
check the engine from the outside. Amounts are exact decimals; MONTANT is
debit minus credit, as the ledger exports it.

    python3 samples/generer_donnees.py            # rewrites the data files
    python3 samples/generer_donnees.py --verifier # only prints the figures
"""
import calendar
import random
import sys
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path
from xml.sax.saxutils import quoteattr

ICI = Path(__file__).resolve().parent
C = Decimal("0.01")


def cent(x):
    return Decimal(x).quantize(C, rounding=ROUND_HALF_UP)


def entier(x):
    # Whole units, halves away from zero (ROUND_HALF_UP is away from zero for Decimal).
    return Decimal(x).quantize(Decimal(1), rounding=ROUND_HALF_UP)


class Grand:
    """The data file being written, and the box tallies beside it."""

    def __init__(self, virgule=False):
        self.xml = []
        self.cases = {}
        self.virgule = virgule

    def case(self, code, montant):
        self.cases[code] = self.cases.get(code, Decimal(0)) + montant

    def ligne(self, indent, compte, montant, taux="", typetaux="0", cat="", virgule=None):
        texte = f"{montant:.2f}"
        if self.virgule if virgule is None else virgule:
            texte = texte.replace(".", ",")
        attrs = [f"COMPTE={quoteattr(compte)}", f"MONTANT={quoteattr(texte)}"]
        attrs.append(f"TAUXTVA={quoteattr(taux)}")
        attrs.append(f"TYPETAUX={quoteattr(typetaux)}")
        attrs.append(f"CATEGORIEAV={quoteattr(cat)}")
        self.xml.append(" " * indent + "<LIGNE " + " ".join(attrs) + "/>")

    def brut(self, texte):
        self.xml.append(texte)


def pct(taux):
    return f"{float(taux * 100):g}"


def ttc_en_ht(ttc, taux):
    ht = cent(ttc / (1 + taux))
    return ht, ttc - ht


R20, R10, R55 = Decimal("0.2"), Decimal("0.1"), Decimal("0.055")
R85, R21 = Decimal("0.085"), Decimal("0.021")


def controles(cases, lignes, forces):
    """Base x rate checks: a small gap is corrected on the tax box."""
    corriges = []
    for base, taxe, taux in lignes:
        b, t = cases.get(base, Decimal(0)), cases.get(taxe, Decimal(0))
        if b == 0 and t == 0:
            continue
        calcule = entier(b * taux)
        if calcule == t:
            continue
        ecart = abs(calcule - t)
        if ecart < 100 and calcule * Decimal("0.001") >= ecart:
            cases[taxe] = calcule
            forces.add(taxe)
            corriges.append((taxe, t, calcule))
        else:
            corriges.append((taxe, t, None))
    return corriges


GRAINE_CA3 = 20261113
GRAINE_CA12 = 2003


def positif(x):
    return max(Decimal(0), x)


def totaux_ca3(c):
    """Totals of the CA3, each with its unclamped value ("brut:") beside it:
    a box counts as changed by a correction when that value moves."""
    z = Decimal(0)
    t = {}
    t["GH"] = sum(c.get(k, z) for k in ("GP", "GB", "GR", "GM", "GN"))
    t["HG"] = sum(c.get(k, z) for k in ("HA", "HB", "HC", "HD"))
    t["brut:KA"] = t["GH"] - t["HG"]
    t["brut:JA"] = t["HG"] - t["GH"]
    t["KA"], t["JA"] = positif(t["brut:KA"]), positif(t["brut:JA"])
    t["brut:JC"] = t["JA"] - c.get("JB", z)
    t["JC"] = positif(t["brut:JC"])
    t["ND"] = t["KA"]
    t["CA3A:HB"] = c.get("KJ", z) + c.get("KL", z)
    t["KB"] = t["CA3A:HB"]
    t["KE"] = t["ND"] + t["KB"]
    return t


def totaux_ca12(c):
    z = Decimal(0)
    t = {}
    t["FR"] = sum(c.get(k, z) for k in ("FW", "FF", "GH", "FU", "FV"))
    t["GC"] = t["FR"] + c.get("GA", z) + c.get("GB", z)
    t["HC"] = c.get("HA", z)
    t["KD"] = t["HC"] + c.get("JA", z) + c.get("KA", z)
    t["brut:LA"], t["brut:LB"] = t["GC"] - t["KD"], t["KD"] - t["GC"]
    t["LA"], t["LB"] = positif(t["brut:LA"]), positif(t["brut:LB"])
    t["MM"] = sum(c.get(k, z) for k in ("MD", "MF", "MH", "MK"))
    t["MN"] = sum(c.get(k, z) for k in ("ME", "MG", "MJ", "ML"))
    t["MA"] = t["MM"] + t["MN"]
    t["brut:NA"] = t["LA"] - t["LB"] - t["MA"]
    t["brut:NB"] = t["MA"] - t["LA"]
    t["NA"], t["NB"] = positif(t["brut:NA"]), positif(t["brut:NB"])
    t["NC"] = t["LB"] + t["NB"]
    t["SA"] = t["NA"]
    t["SC"] = t["SA"] + c.get("SB", z)
    return t


# ---------------------------------------------------------------- CA3 ----
def ca3(graine=GRAINE_CA3):
    rng = random.Random(graine)
    g = Grand()
    credit = Decimal(312)
    g.brut('<?xml version="1.0" encoding="UTF-8"?>')
    g.brut("<!-- Librairie-café des Pentes, Lyon : écritures de novembre 2026.")
    g.brut("     MONTANT = débit - crédit. Conventions : samples/README.md. -->")
    g.brut("<DONNEESTVA>")
    g.brut(f'  <PARAMS CREDITTVA="{credit}" DATEDEBUT="2026-11-01" DATEFIN="2026-11-30" DEFINITIVE="1">')
    g.brut('    <TRESORERIE NOM="SIE de Lyon 1er" ADRESSE="3 rue de la Charité" ADRESSESUITE="BP 2201"'
           ' CPVILLE="69002 LYON" RECETTE="691010" NUMDOSSIER="0046215" PERIODE="2026-11" CLE="27"'
           ' CDI="691" CODESERVICE="6910100" REGIME="RN"/>')
    g.brut('    <TIERS NOM="SARL Librairie-café des Pentes" ADRESSE="14 montée de la Grande-Côte"'
           ' CPVILLE="69001 LYON" APE="4761Z" INTRACOMMUNAUTAIRE="FR27512345678"/>')
    g.brut("  </PARAMS>")
    g.brut("  <DONNEES>")

    # Till: one Z ticket per opening day (Tuesday to Saturday, 11 November closed).
    g.brut('    <JOURNAL CODE="CA" LIBELLE="Caisse">')
    g.virgule = True  # the till exports French decimals
    for jour in range(1, 31):
        if calendar.weekday(2026, 11, jour) not in (1, 2, 3, 4, 5) or jour == 11:
            continue
        samedi = calendar.weekday(2026, 11, jour) == 5
        f = Decimal("1.6") if samedi else Decimal(1)
        livres = cent(Decimal(rng.randint(120000, 190000)) / 100 * f)
        dvd = cent(Decimal(rng.randint(9000, 26000)) / 100 * f)
        papeterie = cent(Decimal(rng.randint(6000, 17000)) / 100 * f)
        cafe = cent(Decimal(rng.randint(21000, 36000)) / 100 * f)
        g.brut(f'      <PIECE NUMERO="Z{jour:02d}11" DATE="2026-11-{jour:02d}">')
        total = Decimal(0)
        ht, tva = ttc_en_ht(livres, R55)
        g.ligne(8, "707110", -ht, "5.5", "55", "V")
        g.ligne(8, "445713", -tva, "5.5", "55", "V")
        g.case("FB", ht); g.case("GB", tva); g.case("CA", ht)
        tva20 = Decimal(0)
        for compte, ttc in (("707120", dvd), ("707130", papeterie)):
            ht, tva = ttc_en_ht(ttc, R20)
            g.ligne(8, compte, -ht, "20", "20", "V")
            tva20 += tva
            g.case("FP", ht); g.case("CA", ht)
            if compte == "707120":
                g.case("MK", ht)
        g.ligne(8, "445711", -tva20, "20", "20", "V")
        g.case("GP", tva20)
        ht, tva = ttc_en_ht(cafe, R10)
        g.ligne(8, "706110", -ht, "10", "10", "V")
        g.ligne(8, "445712", -tva, "10", "10", "V")
        g.case("FR", ht); g.case("GR", tva); g.case("CA", ht)
        total = livres + dvd + papeterie + cafe
        carte = cent(total * Decimal(rng.randint(62, 81)) / 100)
        g.ligne(8, "511200", carte)
        g.ligne(8, "530000", total - carte)
        g.brut("      </PIECE>")
    g.virgule = False
    g.brut("    </JOURNAL>")

    # Sales invoices.
    g.brut('    <JOURNAL CODE="VE" LIBELLE="Ventes">')
    ventes = [
        ("F2611-031", "Collège Jean-Moulin, manuels", "707110", Decimal("2843.60"), R55, "55"),
        ("F2611-032", "Médiathèque de Caluire, fonds jeunesse", "707110", Decimal("1917.25"), R55, "55"),
        ("F2611-033", "Commissions presse (Presstalis) octobre", "706120", Decimal("612.40"), R20, "20"),
        ("F2611-034", "Atelier d'écriture, comité d'entreprise", "706130", Decimal("450.00"), R20, "20"),
        ("F2611-035", "Traiteur salon du livre", "706110", Decimal("1280.00"), R10, "10"),
    ]
    for piece, _lib, compte, ht, taux, tt in ventes:
        tva = cent(ht * taux)
        g.brut(f'      <PIECE NUMERO="{piece}">')
        g.ligne(8, "411000", ht + tva)
        g.ligne(8, compte, -ht, pct(taux), tt, "V")
        g.ligne(8, {"55": "445713", "20": "445711", "10": "445712"}[tt], -tva, pct(taux), tt, "V")
        g.brut("      </PIECE>")
        base, taxe = {"55": ("FB", "GB"), "20": ("FP", "GP"), "10": ("FR", "GR")}[tt]
        g.case(base, ht); g.case(taxe, tva); g.case("CA", ht)
    # Intra-EU delivery to a Brussels bookshop, export to Geneva: no VAT.
    for piece, compte, ht, case in (("F2611-036", "707210", Decimal("3120.00"), "DC"),
                                     ("F2611-037", "707410", Decimal("1486.50"), "DA")):
        g.brut(f'      <PIECE NUMERO="{piece}">')
        g.ligne(8, "411000", ht)
        g.ligne(8, compte, -ht, "0", "0", "V")
        g.brut("      </PIECE>")
        g.case(case, ht)
    # Credit note: a school returns twelve books.
    ht, tva = Decimal("187.20"), cent(Decimal("187.20") * R55)
    g.brut('      <PIECE NUMERO="A2611-004">')
    g.ligne(8, "707110", ht, "5.5", "55", "V")
    g.ligne(8, "445713", tva, "5.5", "55", "V")
    g.ligne(8, "411000", -(ht + tva))
    g.brut("      </PIECE>")
    g.case("FB", -ht); g.case("GB", -tva); g.case("CA", -ht)
    g.brut("    </JOURNAL>")

    # Purchases.
    g.brut('    <JOURNAL CODE="AC" LIBELLE="Achats">')
    achats = []
    for n in range(9):
        achats.append(("607110", cent(Decimal(rng.randint(90000, 260000)) / 100), R55, "55"))
    for compte, lo, hi in (("607120", 40000, 90000), ("607130", 30000, 70000), ("607120", 40000, 90000),
                           ("607130", 30000, 70000), ("601100", 20000, 45000), ("601100", 20000, 45000)):
        achats.append((compte, cent(Decimal(rng.randint(lo, hi)) / 100), R20, "20"))
    achats.append(("601200", Decimal("684.30"), R55, "55"))  # coffee beans, sugar
    achats.append(("613200", Decimal("2150.00"), R20, "20"))  # rent
    achats.append(("606100", Decimal("318.42"), R20, "20"))   # electricity
    achats.append(("626000", Decimal("64.90"), R20, "20"))    # telephone
    achats.append(("622600", Decimal("420.00"), R20, "20"))   # accountant
    achats.append(("615500", Decimal("136.00"), R10, "10"))   # works in the shop at 10 %
    for n, (compte, ht, taux, tt) in enumerate(achats, 1):
        tva = cent(ht * taux)
        g.brut(f'      <PIECE NUMERO="FA2611-{n:03d}">')
        g.ligne(8, compte, ht, pct(taux), tt, "A")
        g.ligne(8, "445660", tva, pct(taux), tt, "A")
        g.ligne(8, "401000", -(ht + tva))
        g.brut("      </PIECE>")
        g.case("HB", tva)
    # Supplier credit note (unsold books returned to the distributor).
    ht = Decimal("846.00"); tva = cent(ht * R55)
    g.brut('      <PIECE NUMERO="AV2611-001">')
    g.ligne(8, "607110", -ht, "5.5", "55", "A")
    g.ligne(8, "445660", -tva, "5.5", "55", "A")
    g.ligne(8, "401000", ht + tva)
    g.brut("      </PIECE>")
    g.case("HB", -tva)
    # Intra-EU acquisitions, VAT self-assessed: due and deductible at once.
    for piece, compte, ht, taux, tt, due in (("FA2611-UE1", "607110", Decimal("1850.00"), R55, "55", "445203"),
                                             ("FA2611-UE2", "607130", Decimal("620.00"), R20, "20", "445201")):
        tva = cent(ht * taux)
        g.brut(f'      <PIECE NUMERO="{piece}">')
        g.ligne(8, compte, ht, pct(taux), tt, "C")
        g.ligne(8, "445662", tva, pct(taux), tt, "C")
        g.ligne(8, due, -tva, pct(taux), tt, "C")
        g.ligne(8, "401000", -ht)
        g.brut("      </PIECE>")
        g.case("CC", ht); g.case("HB", tva)
        base, taxe = ("FB", "GB") if tt == "55" else ("FP", "GP")
        g.case(base, ht); g.case(taxe, tva)
    # Fixed asset: espresso machine.
    g.brut('      <PIECE NUMERO="FA2611-IMMO">')
    g.ligne(8, "218400", Decimal("4800.00"), "20", "20", "I")
    g.ligne(8, "445620", Decimal("960.00"), "20", "20", "I")
    g.ligne(8, "404000", Decimal("-5760.00"))
    g.brut("      </PIECE>")
    g.case("HA", Decimal("960.00"))
    g.brut("    </JOURNAL>")

    # Miscellaneous entries, straight under DONNEES.
    g.brut("    <!-- Opérations diverses -->")
    # Bad debt written off: the VAT collected on it is deducted again.
    ht = Decimal("355.00"); tva = cent(ht * R55)
    g.ligne(4, "654000", ht, "5.5", "55", "R")
    g.ligne(4, "445713", tva, "5.5", "55", "R")
    g.ligne(4, "411000", -(ht + tva))
    g.case("HC", tva)
    # Video tax on the month's DVD sales (5.15 %), booked on 447310.
    taxe_video = cent(g.cases["MK"] * Decimal("0.0515"))
    g.ligne(4, "637800", taxe_video)
    g.ligne(4, "447310", -taxe_video)
    g.case("KJ", taxe_video)
    # Bank charges: no VAT, nothing for the return.
    g.ligne(4, "627000", Decimal("38.70"))
    g.ligne(4, "512000", Decimal("-38.70"))
    g.brut("  </DONNEES>")
    g.brut("</DONNEESTVA>")

    # The return.
    cases = {k: entier(v) for k, v in g.cases.items()}
    cases["HD"] = credit
    avant = totaux_ca3(cases)
    forces = set()
    corr = controles(cases, [("FP", "GP", R20), ("FB", "GB", R55), ("FR", "GR", R10),
                             ("FM", "GM", R85), ("FN", "GN", R21)], forces)
    apres = totaux_ca3(cases)
    cases.update(apres)
    forces |= {k.removeprefix("brut:") for k in apres if apres[k] != avant[k]}
    cases = {k: v for k, v in cases.items() if not k.startswith("brut:")}
    return g, cases, forces, corr


# ---------------------------------------------------------------- CA12 ---
def ca12(graine=GRAINE_CA12):
    rng = random.Random(graine)
    g = Grand()
    credit = Decimal(150)
    g.brut('<?xml version="1.0" encoding="UTF-8"?>')
    g.brut("<!-- Épicerie Ti Kaz, Saint-Pierre (La Réunion) : exercice 2025, régime simplifié.")
    g.brut("     MONTANT = débit - crédit. Conventions : samples/README.md. -->")
    g.brut("<DONNEESTVA>")
    g.brut(f'  <PARAMS CREDITTVA="{credit}" DATEDEBUT="2025-01-01" DATEFIN="2025-12-31" DEFINITIVE="1"/>')
    g.brut('  <TRESORERIE NOM="SIE de Saint-Pierre" ADRESSE="2 rue Désiré-Barquisseau" CPVILLE="97410 SAINT-PIERRE"'
           ' RECETTE="974120" NUMDOSSIER="0081544" PERIODE="2025" CLE="63" CDI="974" CODESERVICE="9741200"'
           ' REGIME="RS"/>')
    g.brut('  <TIERS NOM="SARL Épicerie Ti Kaz" ADRESSE="31 rue des Bons-Enfants" CPVILLE="97410 SAINT-PIERRE"'
           ' APE="4729Z" INTRACOMMUNAUTAIRE="FR63498765432"/>')
    g.brut("  <DONNEES>")
    for mois in range(1, 13):
        g.brut(f'    <MOIS NUMERO="{mois:02d}">')
        # Monthly till summary: groceries at 2.1 %, other goods and the snack counter at 8.5 %.
        for compte, lo, hi, taux, tt in (("707110", 1300000, 1800000, R21, "21"),
                                         ("707130", 420000, 610000, R85, "85"),
                                         ("706110", 150000, 260000, R85, "85")):
            ttc = cent(Decimal(rng.randint(lo, hi)) / 100)
            ht, tva = ttc_en_ht(ttc, taux)
            g.ligne(6, compte, -ht, pct(taux), tt, "V")
            g.ligne(6, "445714" if tt == "21" else "445715", -tva, pct(taux), tt, "V")
            g.ligne(6, "530000", ttc)
            base, taxe = ("EV", "FV") if tt == "21" else ("EU", "FU")
            g.case(base, ht); g.case(taxe, tva)
        # Purchases of the month.
        for compte, lo, hi, taux, tt in (("607110", 800000, 1200000, R21, "21"),
                                         ("607130", 250000, 400000, R85, "85"),
                                         ("613200", 95000, 95000, R85, "85")):
            ht = cent(Decimal(rng.randint(lo, hi)) / 100)
            tva = cent(ht * taux)
            g.ligne(6, compte, ht, pct(taux), tt, "A")
            g.ligne(6, "445660", tva, pct(taux), tt, "A")
            g.ligne(6, "401000", -(ht + tva))
            g.case("HA", tva)
        g.brut("    </MOIS>")
    # Refrigerated display bought in March, and a supplier credit note.
    g.ligne(4, "215400", Decimal("6200.00"), "8.5", "85", "I")
    g.ligne(4, "445620", Decimal("527.00"), "8.5", "85", "I")
    g.ligne(4, "404000", Decimal("-6727.00"))
    g.case("JA", Decimal("527.00"))
    g.ligne(4, "607110", Decimal("-412.00"), "2.1", "21", "A")
    g.ligne(4, "445660", Decimal("-8.65"), "2.1", "21", "A")
    g.ligne(4, "401000", Decimal("420.65"))
    g.case("HA", Decimal("-8.65"))
    g.brut("  </DONNEES>")
    g.brut("</DONNEESTVA>")

    acomptes = {1: (Decimal(780), Decimal(0)), 2: (Decimal(780), Decimal(0)),
                3: (Decimal(780), Decimal(0)), 4: (Decimal(0), Decimal(780))}
    cases = {k: entier(v) for k, v in g.cases.items()}
    cases["KA"] = credit
    for n, code in ((1, ("MD", "ME")), (2, ("MF", "MG")), (3, ("MH", "MJ")), (4, ("MK", "ML"))):
        cases[code[0]], cases[code[1]] = acomptes[n]
    avant = totaux_ca12(cases)
    forces = set()
    corr = controles(cases, [("EW", "FW", R20), ("EF", "FF", R55), ("GF", "GH", R10),
                             ("EU", "FU", R85), ("EV", "FV", R21)], forces)
    apres = totaux_ca12(cases)
    cases.update(apres)
    forces |= {k.removeprefix("brut:") for k in apres if apres[k] != avant[k]}
    cases = {k: v for k, v in cases.items() if not k.startswith("brut:")}
    return g, cases, forces, corr, acomptes


def rapport(nom, cases, forces, corr):
    print(f"== {nom}")
    for k in sorted(cases):
        print(f"  {k:8} {cases[k]:>10}{'  forcée' if k in forces else ''}")
    for taxe, avant, apres in corr:
        print(f"  contrôle {taxe}: {avant} -> {apres if apres is not None else 'non corrigé'}")


def main():
    g3, c3, f3, k3 = ca3()
    g12, c12, f12, k12, acomptes = ca12()
    if "--verifier" not in sys.argv:
        (ICI / "ca3" / "donnees.xml").write_text("\n".join(g3.xml) + "\n", encoding="utf-8")
        (ICI / "ca12" / "donnees.xml").write_text("\n".join(g12.xml) + "\n", encoding="utf-8")
    rapport("CA3", c3, f3, k3)
    rapport("CA12", c12, f12, k12)
    print("  acomptes:", " ".join(f"--acompte {n}:{p}:{r}" for n, (p, r) in acomptes.items()))
    print("  lignes:", sum(l.lstrip().startswith("<LIGNE") for l in g3.xml),
          sum(l.lstrip().startswith("<LIGNE") for l in g12.xml))


if __name__ == "__main__":
    main()
