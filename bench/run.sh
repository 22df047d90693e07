#!/usr/bin/env bash
# Builds the optimised benchmark, writes its inputs into build/bench-data and
# measures a computation against the cheapest read of the same data file.
#
#   bench/run.sh [--lignes N] [--repetitions N] [--smoke]
#
# N data lines (default 1,000,000), then 10,000 lines again for the memory
# difference. --smoke is a quick pass for continuous integration (one round,
# a short rubric chain run). The last three lines are the summary.
set -euo pipefail
cd "$(dirname "$0")/.."

lignes=1000000
repetitions=5
appels=1000000
smoke=0
while [ $# -gt 0 ]; do
  case "$1" in
    --lignes) lignes="$2"; shift 2 ;;
    --repetitions) repetitions="$2"; shift 2 ;;
    --smoke) smoke=1; shift ;;
    *) echo "run.sh : option inconnue : $1" >&2; exit 2 ;;
  esac
done
if [ "$smoke" = 1 ]; then
  repetitions=1
  appels=10000
fi

cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target qxtva_gen qxtva_bench >/dev/null

bin=build/release/bench
data=build/bench-data
mkdir -p "$data"
ca3=samples/ca3/rubriques.xml
"$bin/qxtva_gen" --plan "$ca3" --donnees "$data/donnees-$lignes.xml" --lignes "$lignes" \
  --parametrage "$data/grand-parametrage.xml" --chaine "$data/chaine.xml" --sauts 5
"$bin/qxtva_gen" --plan "$ca3" --donnees "$data/donnees-10000.xml" --lignes 10000

echo "== $lignes lignes"
"$bin/qxtva_bench" --donnees "$data/donnees-$lignes.xml" --ca3 "$ca3" \
  --grand "$data/grand-parametrage.xml" --chaine "$data/chaine.xml" --appels "$appels" \
  --repetitions "$repetitions" | tee "$data/mesures-$lignes.txt" | grep -v '^RESULTAT'
echo "== 10000 lignes (mémoire)"
"$bin/qxtva_bench" --donnees "$data/donnees-10000.xml" --ca3 "$ca3" \
  --grand "$data/grand-parametrage.xml" --repetitions "$repetitions" \
  > "$data/mesures-10000.txt"
grep -E '^Init|^plancher retenu' "$data/mesures-10000.txt"

valeur() { awk -v k="$2" '$1 == "RESULTAT" && $2 == k { print $3 }' "$1"; }
grand_n=$data/mesures-$lignes.txt
petit=$data/mesures-10000.txt
# The larger of the two differences (sample parameters, large parameters), in MiB.
memoire=$(awk -v a="$(valeur "$grand_n" pic_ca3_ko)" -v b="$(valeur "$petit" pic_ca3_ko)" \
  -v c="$(valeur "$grand_n" pic_grand_ko)" -v d="$(valeur "$petit" pic_grand_ko)" \
  'BEGIN { x = a - b; y = c - d; printf "%.1f", (x > y ? x : y) / 1024 }')

echo "== Résumé ($lignes lignes, meilleur de $repetitions)"
echo "plancher : $(valeur "$grand_n" plancher_lignes_par_s) lignes/s, $(valeur "$grand_n" plancher_mo_par_s) Mo/s"
echo "Init (CA3) : $(valeur "$grand_n" init_ca3_lignes_par_s) lignes/s, $(valeur "$grand_n" init_ca3_mo_par_s) Mo/s, $(valeur "$grand_n" cpu_ca3_s) s processeur (lecture et calcul sur deux fils d'exécution)"
echo "Init (grand parametrage) : $(valeur "$grand_n" init_grand_lignes_par_s) lignes/s, $(valeur "$grand_n" init_grand_mo_par_s) Mo/s, $(valeur "$grand_n" cpu_grand_s) s processeur (lecture et calcul sur deux fils d'exécution)"
echo "XmlScanner/lecture : $(valeur "$grand_n" scanner_ratio)"
echo "AjouterValeur en chaîne : $(valeur "$grand_n" chaine_ns_par_appel) ns par appel"
printf 'init/lecture (CA3, suivi pour explique, hors objectifs): %.2f\n' "$(valeur "$grand_n" ratio_explique)"
printf 'init/lecture (CA3): %.2f\n' "$(valeur "$grand_n" ratio_ca3)"
printf 'init/lecture (grand parametrage): %.2f\n' "$(valeur "$grand_n" ratio_grand)"
echo "memoire 1M - memoire 10k (Mo): $memoire"
