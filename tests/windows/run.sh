#!/bin/bash
# The Wine bench of the Windows DLLs: bash tests/windows/run.sh <build dir>
# Every build: exports, imports and embedded type library of both DLLs. A
# 64-bit build also runs under a fresh headless Wine prefix: registration
# from a path with accents and spaces, the programs and host scripts below,
# the facade without the product, unregistration checked against a registry
# export, per-user registration, and the product through automation.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/QX_TVA.dll" ]; then
    echo "usage: $0 <build dir holding QX_TVA.dll and Qx_Ardilodirect.dll>" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
ici=$(cd "$(dirname "$0")" && pwd)
debut=$(date +%s)
echecs=0

echec() {
    echo "ÉCHEC : $*" >&2
    echecs=$((echecs + 1))
}

# --- Static checks, every architecture -------------------------------------
format=$(x86_64-w64-mingw32-objdump -f "$build/QX_TVA.dll" | sed -n 's/.*file format //p')
case "$format" in
    pei-x86-64) outils=x86_64-w64-mingw32 ;;
    pei-i386) outils=i686-w64-mingw32 ;;
    *) echo "format inconnu : $format" >&2; exit 2 ;;
esac
for dll in QX_TVA.dll Qx_Ardilodirect.dll; do
    entete=$("$outils-objdump" -p "$build/$dll")
    # The four entry points and DllInstall, under their plain names.
    exports=$(echo "$entete" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed '1d' | sed -n 's/.*\] //p' | sort | tr '\n' ' ')
    nombre=$(echo "$exports" | wc -w)
    attendus="DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer "
    [ "$exports" = "$attendus" ] || echec "$dll exporte $nombre noms : ${exports:0:200}"
    # Only DLLs every Windows has.
    while read -r importee; do
        case "${importee,,}" in
            kernel32.dll | advapi32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | user32.dll) ;;
            *) echec "$dll importe $importee" ;;
        esac
    done < <(echo "$entete" | sed -n 's/^\tDLL Name: //p')
    # The type library is a resource "TYPELIB" (a UTF-16 name) holding a
    # library in the "MSFT" format.
    # The name is a counted string, not ended by a zero: what follows it may
    # read as more letters, so it is looked for inside a line. (grep reads
    # to the end: with -q the writer's broken pipe would fail under pipefail.)
    { "$outils-strings" -el "$build/$dll" | grep TYPELIB >/dev/null &&
        "$outils-objcopy" -O binary -j .rsrc "$build/$dll" /dev/stdout | grep -a MSFT >/dev/null; } ||
        echec "$dll n'embarque pas de bibliothèque de types"
    taille=$(stat -c %s "$build/$dll")
    echo "$format $dll : $taille octets, importe $(echo "$entete" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')"
done

if [ "$format" != pei-x86-64 ] && [ "${QX_WINE32:-0}" != 1 ]; then
    echo "pas de Wine 32 bits ici : vérifications statiques seulement"
    [ $echecs -eq 0 ] && echo "banc Windows ($format) : réussi en $(($(date +%s) - debut)) s"
    exit $((echecs > 0))
fi

# --- Under Wine --------------------------------------------------------------
WINEPREFIX=$(mktemp -d /tmp/qx-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
trap 'timeout 60 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

dossier="$WINEPREFIX/drive_c/Dossiers/Société Générale"
mkdir -p "$dossier"
cp "$build/QX_TVA.dll" "$build/Qx_Ardilodirect.dll" "$build/tests/windows/"*.exe \
    "$ici/identite_qx_tva.txt" "$ici/hosts/"*.xml "$ici/hosts/collections.js" "$dossier/"
cp "$ici/../../samples/ca3/donnees.xml" "$ici/../../samples/ca3/rubriques.xml" "$dossier/"
cd "$dossier"
# The stand-in product's outbox, where the end-to-end generation deposits.
export ARDILO_OUTBOX='C:\envoi_hotes'

exporter() {  # key, file: the registry subtree as text, empty when absent
    wine reg export "$1" "$2" /y >/dev/null 2>&1 || : >"$2"
    wineserver -w
}
# Wine registers some of its own classes the first time a script runs: let
# it do so, the scripting runtime every host script uses included, before
# the registry is taken as the reference.
echo 'Set fso = CreateObject("Scripting.FileSystemObject") : WScript.Echo "FIN"' >echauffement.vbs
wine cscript //nologo echauffement.vbs >/dev/null 2>&1
# The user's class keys exist on every Windows; a fresh prefix lacks them.
wine reg add 'HKCU\Software\Classes\CLSID' /f >/dev/null 2>&1
wineserver -w
exporter 'HKLM\Software\Classes' avant_machine.reg
exporter 'HKCU\Software\Classes' avant_utilisateur.reg

wine regsvr32 /s Qx_Ardilodirect.dll || echec "enregistrement de Qx_Ardilodirect.dll"
wine regsvr32 /s QX_TVA.dll || echec "enregistrement de QX_TVA.dll"

# name, checks it must make, command. Wine's VBScript stops silently on an
# error, so a program counts only when its last two lines are "RESULTAT
# <name> <checks> <faults>" and "FIN <name>", with no fault, no
# OnScriptError on stderr and exactly the number of checks given here: one
# stopped half way, or whose checks were skipped, fails.
lancer() {
    local nom=$1 attendues=$2 sortie fin statut=0
    shift 2
    sortie=$(WINEDEBUG=-all,fixme+wscript "$@" 2>"erreurs_$nom.txt" | tr -d '\r'
        exit "${PIPESTATUS[0]}") || statut=$?
    # A program that printed nothing at all never reached its first line:
    # once on a fresh CI machine cscript did so without a message. Say so with
    # its exit status and run it again with Wine's errors shown; a program
    # that fails again, or prints anything wrong, still fails.
    if [ -z "$sortie" ]; then
        echo "AVERTISSEMENT : $nom n'a rien écrit (statut $statut), relancé" >&2
        sortie=$(WINEDEBUG=err+all,fixme+wscript "$@" 2>"erreurs_$nom.txt" | tr -d '\r') || true
        grep -v -e nologo -e '^fixme' "erreurs_$nom.txt" | tail -n 20 >&2 || true
    fi
    echo "$sortie" | grep '^FAUTE' >&2 || true
    fin=$(echo "$sortie" | tail -n 2 | tr '\n' ' ')
    if grep -q OnScriptError "erreurs_$nom.txt" || [ "$fin" != "RESULTAT $nom $attendues 0 FIN $nom " ]; then
        echec "$nom : « $fin », attendu $attendues vérifications sans faute"
        grep -v nologo "erreurs_$nom.txt" >&2 || true
    else
        echo "$nom : $attendues vérifications"
    fi
}
# A host script of hosts/, the VBScript ones behind hosts/commun.vbs.
script() {  # file, checks
    local fichier=$1
    if [[ $fichier == *.vbs ]]; then
        cat "$ici/hosts/commun.vbs" "$ici/hosts/$fichier" >"_$fichier"
        fichier=_$fichier
    fi
    lancer "${1%.*}" "$2" wine cscript //nologo "$fichier"
}

lancer identite_test 706 wine identite_test.exe identite_qx_tva.txt
lancer serveur_test 40 wine serveur_test.exe QX_TVA.dll
script creation.vbs 16
script enregistrements.vbs 25
script paiements.vbs 29
script moteur.vbs 26
script rubriques.vbs 36
script collections.js 8
script declaration.vbs 25
lancer hotes_vtable 57 wine hotes_vtable.exe donnees_hotes.xml rubriques_hotes.xml \
    donnees.xml rubriques.xml

# Without the product: first its VAT component and declaration missing
# (the connector alone), then nothing of it; registered again after.
for progid in ArdiloEdi.Tva.11 Qx_Ardilodirect.DeclarationEdi; do
    wine reg delete "HKLM\\Software\\Classes\\$progid" /f >/dev/null 2>&1 ||
        echec "clé $progid introuvable"
done
wineserver -w
script produit_partiel.vbs 8
wine regsvr32 /s /u Qx_Ardilodirect.dll || echec "désenregistrement du produit"
wineserver -w
script sans_produit.vbs 4
wine regsvr32 /s Qx_Ardilodirect.dll || echec "réenregistrement du produit"
wineserver -w

# Unregistration removes exactly what was written, and twice is harmless.
for fois in 1 2; do
    wine regsvr32 /s /u QX_TVA.dll || echec "désenregistrement $fois de QX_TVA.dll"
    wine regsvr32 /s /u Qx_Ardilodirect.dll || echec "désenregistrement $fois de Qx_Ardilodirect.dll"
done
exporter 'HKLM\Software\Classes' apres_machine.reg
comparer() {  # before, after, what
    cmp -s "$1" "$2" && return
    echec "$3"
    diff <(iconv -f UTF-16 -t UTF-8 "$1") <(iconv -f UTF-16 -t UTF-8 "$2") | head -20 >&2 || true
}
comparer avant_machine.reg apres_machine.reg "clés restées après désenregistrement"

# Per user, without administrator rights: classes under the user's own key only.
wine regsvr32 /s /i:user /n QX_TVA.dll || echec "enregistrement pour l'utilisateur"
wine reg query 'HKCU\Software\Classes\Qx_TVA.Cls_DeclarationTVA\CLSID' >/dev/null 2>&1 ||
    echec "ProgID absent de la clé de l'utilisateur"
if wine reg query 'HKLM\Software\Classes\Qx_TVA.Cls_DeclarationTVA' >/dev/null 2>&1; then
    echec "enregistrement pour l'utilisateur écrit pour la machine"
fi
wine regsvr32 /s /u /i:user /n QX_TVA.dll || echec "désenregistrement pour l'utilisateur"
exporter 'HKCU\Software\Classes' apres_utilisateur.reg
comparer avant_utilisateur.reg apres_utilisateur.reg "clés restées pour l'utilisateur"

# The product reached through automation (tests/produit). The samples are
# read by their Linux paths, which Wine resolves on the drive of the Linux root.
wine regsvr32 /s Qx_Ardilodirect.dll || echec "enregistrement du produit"
(cd / && wine "$build/tests/banc_produit.exe" --gtest_brief=1) || echec "produit par automation"
wine regsvr32 /s /u Qx_Ardilodirect.dll || echec "désenregistrement du produit"

if [ $echecs -ne 0 ]; then
    echo "banc Windows : $echecs échec(s)" >&2
    exit 1
fi
echo "banc Windows ($format) : réussi en $(($(date +%s) - debut)) s"
