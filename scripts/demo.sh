#!/usr/bin/env bash
# Builds the optimised tool and computes the bundled CA3 sample.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
mkdir -p out
./build/release/qxtva calcul \
  --donnees samples/ca3/donnees.xml \
  --rubriques samples/ca3/rubriques.xml \
  --resultat out/resultat-ca3.xml \
  --date-jour 2026-12-05
echo "Fichier résultat : out/resultat-ca3.xml"
