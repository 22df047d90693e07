#!/bin/bash
# The product reached through automation, under Wine, on a 64-bit build:
#   bash tests/produit/run.sh <build dir holding Qx_Ardilodirect.dll>
# In a fresh headless prefix: banc_produit without the product registered
# (429, the version answer, failure results), then with Qx_Ardilodirect.dll
# registered (the facade end to end on the CA3 sample, compared with the
# linked-in stand-in; the product's errors; references given back), then
# unregistered again. About 15 s, most of it the prefix's creation.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/Qx_Ardilodirect.dll" ] || [ ! -f "$1/tests/banc_produit.exe" ]; then
    echo "usage: $0 <build dir holding Qx_Ardilodirect.dll and tests/banc_produit.exe>" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
debut=$(date +%s)

WINEPREFIX=$(mktemp -d /tmp/qx-produit-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

# The DLL is registered from where it was built; the samples are read by
# their Linux paths, which Wine resolves on the drive of the Linux root.
cd /
dll="Z:${build//\//\\}\\Qx_Ardilodirect.dll"
banc="$build/tests/banc_produit.exe"
echecs=0
wine "$banc" absent --gtest_brief=1 || { echo "ÉCHEC : produit absent" >&2; echecs=1; }
if wine regsvr32 /s "$dll"; then
    wine "$banc" installe --gtest_brief=1 || { echo "ÉCHEC : produit installé" >&2; echecs=1; }
    wine regsvr32 /s /u "$dll" || { echo "ÉCHEC : désenregistrement" >&2; echecs=1; }
else
    echo "ÉCHEC : enregistrement de $dll" >&2
    echecs=1
fi
[ $echecs -eq 0 ] && echo "produit par automation : réussi en $(($(date +%s) - debut)) s"
exit $echecs
