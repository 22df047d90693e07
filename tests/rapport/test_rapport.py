"""qxtva rapport rendered by headless Chromium: no console error, no network
reference, every value read from the rendered DOM equal to the result file,
forced boxes marked, and a screenshot and an A4 PDF in the output folder."""
import os
import re
import shutil
import subprocess
import tempfile
import xml.etree.ElementTree as ET
from html.parser import HTMLParser
from pathlib import Path

import pytest

QXTVA = os.environ["QXTVA"]
SAMPLES = Path(os.environ["QX_SAMPLES_DIR"])
SORTIE = Path(os.environ["QX_SORTIE"])
CHROMIUM = os.environ.get("QX_CHROMIUM", "").removesuffix("QX_CHROMIUM-NOTFOUND") or shutil.which("chromium")
OPTIONS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"]

CAS = {
    "ca3": ["--dossier", str(SAMPLES / "ca3" / "dossier.xml")],
    "ca12": ["--type", "CA12", "--acompte", "1:780:0", "--acompte", "2:780:0", "--acompte", "3:780:0",
             "--acompte", "4:0:780"],
}


class Valeurs(HTMLParser):
    """The value cells of the rendered page: data-cle -> (text, data-forcee)."""

    def __init__(self):
        super().__init__()
        self.valeurs, self._cle, self._texte = {}, None, ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "td" and "data-cle" in a:
            self._cle, self._forcee, self._texte = a["data-cle"], a.get("data-forcee"), ""

    def handle_data(self, data):
        if self._cle:
            self._texte += data

    def handle_endtag(self, tag):
        if tag == "td" and self._cle:
            self.valeurs[self._cle] = (self._texte.strip(), self._forcee)
            self._cle = None


def chromium(*arguments):
    with tempfile.TemporaryDirectory() as profil:  # a fresh profile each run
        return subprocess.run([CHROMIUM, *OPTIONS, f"--user-data-dir={profil}", *arguments],
                              capture_output=True, text=True, timeout=120)


@pytest.mark.skipif(not CHROMIUM, reason="chromium is not installed")
@pytest.mark.parametrize("nom", CAS)
def test_rendered_report_shows_the_result_files_values(nom):
    SORTIE.mkdir(parents=True, exist_ok=True)
    page, resultat = SORTIE / f"{nom}.html", SORTIE / f"{nom}-resultat.xml"
    echantillon = ["--donnees", str(SAMPLES / nom / "donnees.xml"),
                   "--rubriques", str(SAMPLES / nom / "rubriques.xml"), "--date-jour", "2026-12-05"]
    subprocess.run([QXTVA, "calcul", *echantillon, *[a for a in CAS[nom] if "dossier" not in a and ".xml" not in a],
                    "--resultat", str(resultat), "--quiet"], check=True)
    subprocess.run([QXTVA, "rapport", *echantillon, *CAS[nom], "-o", str(page)], check=True)

    source = page.read_text(encoding="utf-8")
    assert not re.search(r"""(src|href)\s*=|https?:|@import|<script""", source), "self-contained"

    rendu = chromium("--enable-logging=stderr", "--v=0", "--dump-dom", page.as_uri())
    assert rendu.returncode == 0, rendu.stderr
    assert "CONSOLE" not in rendu.stderr and "Uncaught" not in rendu.stderr, rendu.stderr
    lues = Valeurs()
    lues.feed(rendu.stdout)
    attendues = {e.get("CODEIMPRIME") + e.get("CODERUBRIQUE"): (e.get("VALEUR"), e.get("FORCE"))
                 for e in ET.parse(resultat).iter("RUBRIQUE")}
    assert len(attendues) > 30
    assert lues.valeurs == attendues

    if nom == "ca3":  # the header from the dossier, the corrected tax with its value before
        assert "SARL Librairie-café des Pentes" in rendu.stdout and "51234567800012" in rendu.stdout
        assert re.search(r"avant : 2028 — contrôle base × taux à 5,5 %", rendu.stdout)

    image = SORTIE / f"{nom}.png"
    rendu = chromium(f"--screenshot={image}", "--window-size=1240,1754", page.as_uri())
    assert rendu.returncode == 0 and image.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"

    pdf = SORTIE / f"{nom}.pdf"
    rendu = chromium(f"--print-to-pdf={pdf}", "--no-pdf-header-footer", page.as_uri())
    assert rendu.returncode == 0
    contenu = pdf.read_bytes()
    assert contenu.startswith(b"%PDF")
    pages = re.findall(rb"/MediaBox \[0 0 ([\d.]+) ([\d.]+)\]", contenu)
    assert pages and all(abs(float(l) - 595) < 1 and abs(float(h) - 842) < 1 for l, h in pages)
