#!/bin/bash
# The host tests: each class driven as hosts drive it, from VBScript and
# JScript through cscript and from a C++ client through the vtable.
#   bash tests/windows/hosts/hotes.sh <build dir>
# Run by tests/windows/run.sh inside its Wine prefix, from the folder where
# both DLLs are registered. Wine's VBScript stops silently on an error, so a
# script counts only when its last two lines are "RESULTAT <name> <checks>
# <faults>" and "FIN <name>", with no fault, no OnScriptError on stderr and
# exactly the number of checks listed below: a script stopped half way, or
# one whose checks were skipped, fails.
set -uo pipefail
build=$1
ici=$(cd "$(dirname "$0")" && pwd)
debut=$(date +%s)
fautes=0
faute() {
    echo "ÉCHEC (hôtes) : $*" >&2
    fautes=$((fautes + 1))
}

mkdir -p hotes
cp "$ici"/*.xml "$ici/collections.js" hotes/
cp "$ici/../../../samples/ca3/donnees.xml" hotes/ca3_donnees.xml
cp "$ici/../../../samples/ca3/rubriques.xml" hotes/ca3_rubriques.xml
cp "$build/tests/windows/hotes_vtable.exe" hotes/ 2>/dev/null || true
# The stand-in product's outbox, where the end-to-end generation deposits.
export ARDILO_OUTBOX='C:\envoi_hotes'

# script, checks it must make
lancer() {
    local script=$1 attendues=$2 nom=${1%.*} fichier=$1 sortie
    if [[ $script == *.vbs ]]; then
        fichier=_$script
        cat "$ici/commun.vbs" "$ici/$script" >"hotes/$fichier"
    fi
    sortie=$(cd hotes && WINEDEBUG=-all,fixme+wscript wine cscript //nologo "$fichier" \
        2>"erreurs_$nom.txt" | tr -d '\r')
    echo "$sortie" | grep '^FAUTE' >&2
    local resultat fin
    resultat=$(echo "$sortie" | tail -n 2 | head -n 1)
    fin=$(echo "$sortie" | tail -n 1)
    if grep -q OnScriptError "hotes/erreurs_$nom.txt" || [ "$fin" != "FIN $nom" ] ||
        [ "$resultat" != "RESULTAT $nom $attendues 0" ]; then
        faute "$script : « $resultat » / « $fin », attendu $attendues vérifications sans faute"
        grep -v 'nologo' "hotes/erreurs_$nom.txt" >&2
    else
        echo "hôtes : $script, $attendues vérifications"
    fi
}

lancer enregistrements.vbs 34
lancer paiements.vbs 36
lancer moteur.vbs 48
lancer rubriques.vbs 50
lancer collections.js 18
lancer declaration.vbs 40

# The C++ client, through the vtable.
sortie=$(cd hotes && wine hotes_vtable.exe donnees_hotes.xml rubriques_hotes.xml \
    ca3_donnees.xml ca3_rubriques.xml 2>&1 | tr -d '\r')
echo "$sortie" | grep '^FAUTE' >&2
if [ "$(echo "$sortie" | tail -n 2 | tr '\n' ' ')" != "RESULTAT hotes_vtable 82 0 FIN hotes_vtable " ]; then
    faute "hotes_vtable.exe : $(echo "$sortie" | tail -n 2 | tr '\n' ' ')"
else
    echo "hôtes : hotes_vtable.exe, 82 vérifications"
fi

# Without the product: first its VAT component and declaration missing
# (the connector alone), then nothing of it; registered again after.
if [ -f "$ici/../../../src/transmission/produit_plateforme_windows.cpp" ]; then
    for progid in ArdiloEdi.Tva.11 Qx_Ardilodirect.DeclarationEdi; do
        wine reg delete "HKLM\\Software\\Classes\\$progid" /f >/dev/null 2>&1 ||
            faute "clé $progid introuvable"
    done
    wineserver -w
    lancer produit_partiel.vbs 9
    wine regsvr32 /s /u Qx_Ardilodirect.dll || faute "désenregistrement du produit"
    wineserver -w
    lancer sans_produit.vbs 5
    wine regsvr32 /s Qx_Ardilodirect.dll || faute "réenregistrement du produit"
    wineserver -w
else
    echo "hôtes : produit lié à la bibliothèque (pas de produit par ProgID) : scénarios sans produit non joués"
fi

if [ $fautes -ne 0 ]; then
    echo "tests des hôtes : $fautes échec(s)" >&2
    exit 1
fi
echo "tests des hôtes : réussis en $(($(date +%s) - debut)) s"
