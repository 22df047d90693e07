"""The Python module over the library: computing from files, ledger lines
and FEC files, labels, checks, explanations, the declaration round trip,
errors and the GIL left free while the engine runs."""
import os
import sys
import threading
import time
import xml.etree.ElementTree as ET
from pathlib import Path

import pytest
import qxtva

SAMPLES = Path(os.environ.get("QX_SAMPLES_DIR", Path(__file__).resolve().parents[2] / "samples"))
CA3 = SAMPLES / "ca3"
CA12 = SAMPLES / "ca12"
ACOMPTES = {1: (780, 0), 2: (780, 0), 3: (780, 0), 4: (0, 780)}


def figures(calcul):
    return {r.cle: (r.texte, r.forcee) for r in calcul}


def lignes_du_fichier(chemin):
    """The data file's lines as a host's ledger would hand them, lazily."""
    for e in ET.parse(chemin).iter("LIGNE"):
        yield e.get("COMPTE"), e.get("MONTANT"), e.get("TYPETAUX"), e.get("CATEGORIEAV")


def test_sample_from_files_with_labels():
    calcul = qxtva.calculer(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"))
    assert len(calcul) == 35
    assert (calcul["CA3KE"].valeur, calcul["CA3KE"].forcee) == (584.0, True)
    assert (calcul["ca3gb"].valeur, calcul["CA3GB"].forcee) == (2027.0, True)
    assert calcul["CA3KF"].valeur == ""  # a text box
    assert sum(r.forcee for r in calcul) == 6
    assert calcul["CA3GB"].intitule and calcul["CA3AKJ"].intitule
    assert "CA3XX" not in calcul
    with pytest.raises(KeyError):
        calcul["CA3XX"]


def test_lines_and_fec_give_the_same_return_as_the_file(tmp_path):
    attendu = figures(qxtva.calculer(str(CA12 / "rubriques.xml"), str(CA12 / "donnees.xml"),
                                     type="CA12", acomptes=ACOMPTES))
    # Amounts as texts or numbers; the credit, read from PARAMS in the file, given here.
    lignes = ((c, float(m.replace(",", ".")) if i % 2 else m, t, k)
              for i, (c, m, t, k) in enumerate(lignes_du_fichier(CA12 / "donnees.xml")))
    depuis_lignes = qxtva.calculer(str(CA12 / "rubriques.xml"), lignes=lignes, credit=150,
                                   type="CA12", acomptes=ACOMPTES)
    assert figures(depuis_lignes) == attendu

    sys.path.insert(0, str(SAMPLES))
    import generer_fec
    sys.argv = ["generer_fec.py", str(tmp_path)]
    generer_fec.main()
    depuis_fec = qxtva.calculer(str(CA12 / "rubriques.xml"), fec=str(tmp_path / "ca12.fec"),
                                debut="2025-01-01", fin="2025-12-31", credit="150",
                                type="CA12", acomptes=ACOMPTES)
    assert figures(depuis_fec) == attendu


def test_result_file_is_written_on_request(tmp_path):
    resultat = tmp_path / "resultat.xml"
    calcul = qxtva.calculer(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"), resultat=str(resultat))
    assert not resultat.exists()
    assert calcul.archiver()
    ke = [e for e in ET.parse(resultat).iter("RUBRIQUE") if e.get("CODERUBRIQUE") == "KE"]
    assert [(e.get("VALEUR"), e.get("FORCE")) for e in ke] == [("584", "1")]


@pytest.mark.parametrize("appel, numero, texte, extrait", [
    (lambda: qxtva.calculer("/nulle/part.xml", str(CA3 / "donnees.xml")),
     -2147220989, "0x80040203", "Le fichier de description de rubrique n'existe pas"),
    (lambda: qxtva.calculer(str(CA3 / "rubriques.xml"), lignes=[("707", 1, "20", "V", "x")]),
     13, "13", "Ligne 1 : (compte, montant"),
    (lambda: qxtva.calculer(str(CA3 / "rubriques.xml"), fec="/nulle/part.fec"), 53, "53", "/nulle/part.fec"),
    (lambda: qxtva.calculer(str(CA3 / "rubriques.xml"), lignes=[], acomptes={5: (1, 2)}), 9, "9", "Acompte 5"),
    (lambda: qxtva.lire_pivot("/nulle/part.xml"), 53, "53", "Fichier introuvable"),
])
def test_failures_carry_number_and_french_description(appel, numero, texte, extrait):
    with pytest.raises(qxtva.Erreur) as e:
        appel()
    assert e.value.numero == numero
    assert extrait in e.value.description
    assert str(e.value).startswith(f"erreur {texte} : ")


def test_wrong_usage_is_a_value_error():
    with pytest.raises(ValueError, match="une source et une seule"):
        qxtva.calculer(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"), lignes=[])
    with pytest.raises(ValueError, match="vont avec fec"):
        qxtva.calculer(str(CA3 / "rubriques.xml"), lignes=[], debut="2026-11-01")


def test_checks_report_findings(tmp_path):
    assert not [c for c in qxtva.verifier(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"))
                if c.gravite == "erreur"]
    donnees = tmp_path / "d.xml"
    donnees.write_text('<DONNEESTVA><LIGNE COMPTE="707110" MONTANT="12,3,4" TYPETAUX="55" CATEGORIEAV="V"/></DONNEESTVA>')
    constats = qxtva.verifier(str(CA3 / "rubriques.xml"), str(donnees))
    assert any(c.fichier == str(donnees) and c.ligne == 1 for c in constats), constats


def test_declaration_round_trip(tmp_path, monkeypatch):
    monkeypatch.setenv("ARDILO_OUTBOX", str(tmp_path))
    reponse = qxtva.declarer(str(CA3 / "dossier.xml"), str(CA3 / "donnees.xml"), str(CA3 / "rubriques.xml"),
                             date_jour="2026-12-05")
    depot = next(tmp_path.glob("ARD-*.xml"))
    assert depot.stem in reponse
    boites = {r.code: r for r in qxtva.lire_pivot(str(depot))}
    assert boites["KE"].valeur == 584.0 and boites["KE"].formulaire == "CA3" and boites["KE"].intitule
    with pytest.raises(qxtva.Erreur) as e:
        qxtva.declarer(str(CA3 / "dossier.xml"), "/nulle/part.xml", str(CA3 / "rubriques.xml"))
    assert "Une erreur s'est produite lors du calcul des rubriques" in e.value.description


def test_explained_steps_add_up_to_each_box():
    explications = qxtva.explique(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"))
    calcul = qxtva.calculer(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"))
    assert [x.cle for x in explications] == [r.cle for r in calcul]
    for x in explications:
        assert x.somme == pytest.approx(x.valeur_brute, abs=1e-6), str(x)
        if not x.positif:
            assert x.valeur == pytest.approx(x.valeur_brute, abs=1e-6), str(x)

    # The 5.5 % tax: the till's lines, rounded, then forced by the check.
    gb, = qxtva.explique(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"), ["ca3gb"])
    assert (gb.cle, gb.texte, gb.valeur) == ("CA3GB", "2027", 2027.0)
    lignes = [e for e in gb.etapes if e.genre == "ligne"]
    assert lignes and all(e.ligne > 0 and e.compte.startswith(e.compte_ligne) for e in lignes)
    assert sum(e.montant for e in lignes) == pytest.approx(2027.5)
    controle, = [e for e in gb.etapes if e.genre == "controle"]
    assert (controle.avant, controle.apres, controle.montant) == (2028.0, 2027.0, -1.0)
    assert "36863" in controle.raison
    assert "CA3GB = 2027" in str(gb)

    # The credit replaces what was there; the instalments of a CA12 are steps of their own.
    hd, = qxtva.explique(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"), ["CA3HD"])
    assert [(e.genre, e.texte, e.montant) for e in hd.etapes] == [("credit", "312", 312.0)]
    ma, md = qxtva.explique(str(CA12 / "rubriques.xml"), str(CA12 / "donnees.xml"),
                            ["CA12MA", "CA12MD"], type="CA12", acomptes=ACOMPTES)
    assert [(e.genre, e.montant) for e in md.etapes] == [("acompte", 780.0)]
    assert ma.valeur == 3120.0 and {e.genre for e in ma.etapes} == {"dependance"}
    assert ma.somme == pytest.approx(3120.0)

    with pytest.raises(KeyError):
        qxtva.explique(str(CA3 / "rubriques.xml"), str(CA3 / "donnees.xml"), ["CA3XX"])
    with pytest.raises(qxtva.Erreur) as e:
        qxtva.explique(str(CA3 / "rubriques.xml"), "/nulle/part.xml", ["CA3GB"])
    assert e.value.numero == -2147220990


@pytest.mark.parametrize("fonction", [qxtva.calculer, qxtva.explique])
def test_gil_is_free_while_the_engine_runs(tmp_path, fonction):
    donnees = tmp_path / "gros.xml"
    ligne = '<LIGNE COMPTE="707110" MONTANT="-10,5" TYPETAUX="55" CATEGORIEAV="V"/>\n'
    donnees.write_text("<DONNEESTVA><DONNEES>\n" + ligne * 300000 + "</DONNEES></DONNEESTVA>\n")
    fin, tours = threading.Event(), [0]

    def calculer():
        fonction(str(CA3 / "rubriques.xml"), str(donnees))
        fin.set()

    t = threading.Thread(target=calculer)
    debut = time.monotonic()
    t.start()
    while not fin.is_set():
        tours[0] += 1
    t.join()
    duree = time.monotonic() - debut
    # Held, the GIL would let this loop run only at the switch interval's pace.
    assert duree > 0.05 and tours[0] > 20000, (duree, tours[0])
