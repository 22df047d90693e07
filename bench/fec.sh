#!/usr/bin/env bash
# Times "qxtva fec2donnees" on a generated ledger export of N lines (default
# 1,000,000: the CA3 sample's entries repeated) and on a tenth of it, with
# the peak memory of each run: the reader streams, so memory should not grow
# with the file. Needs the release build (cmake --preset release && cmake
# --build --preset release).
set -euo pipefail
cd "$(dirname "$0")/.."
lignes=1000000
[ "${1:-}" = "--lignes" ] && lignes=$2
qxtva=build/release/qxtva
[ -x "$qxtva" ] || { echo "build/release/qxtva manquant : cmake --build --preset release" >&2; exit 1; }
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
python3 samples/generer_fec.py "$dossier" >/dev/null
for n in $((lignes / 10)) "$lignes"; do
  # The header, then the sample's lines again and again, each copy its own entries.
  awk -v n="$n" -F'\t' 'NR == 1 { print; next } { corps[++k] = $0 }
    END { OFS = "\t"; for (i = 0; i < n; i++) { split(corps[i % k + 1], c, "\t");
          c[3] = c[3] + int(i / k) * 1000; $0 = ""; for (j = 1; j <= 18; j++) $j = c[j]; print } }' \
    "$dossier/ca3.fec" > "$dossier/gros.fec"
  taille=$(du -m "$dossier/gros.fec" | cut -f1)
  /usr/bin/time -f "%e %M" -o "$dossier/temps" "$qxtva" fec2donnees --fec "$dossier/gros.fec" \
    --correspondances samples/ca3/correspondances.txt -o "$dossier/donnees.xml"
  read -r secondes memoire < "$dossier/temps"
  echo "$n lignes ($taille Mo) : $secondes s, mémoire maximale $((memoire / 1024)) Mo"
done
