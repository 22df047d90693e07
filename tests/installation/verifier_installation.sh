#!/usr/bin/env bash
# Checks the installation from a build folder (default build/release): the
# files cmake --install puts under a temporary root (DESTDIR), the installed
# tool, an outside project found through find_package(QX_TVA) (shared and
# static) and through pkg-config computing the CA3 sample, then the Debian
# package of cpack installed into and removed from a temporary dpkg root.
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
build=$(realpath "${1:-build/release}")
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }

cmake --build "$build" -j "$(nproc)" >/dev/null
racine=$travail/racine
DESTDIR=$racine cmake --install "$build" --prefix /usr >/dev/null
config=$(cd "$racine/usr" && find lib* -path '*/cmake/QX_TVA' -type d | head -1)
libdir=${config%/cmake/QX_TVA}
for f in usr/bin/qxtva "usr/$libdir/libqx_tva.so.1" "usr/$libdir/libqx_tva.a" \
         usr/include/qx_tva/engine/calcul_tva.h "usr/$libdir/cmake/QX_TVA/QX_TVAConfig.cmake" \
         "usr/$libdir/pkgconfig/qx_tva.pc" usr/share/man/fr/man1/qxtva.1 \
         usr/share/doc/qxtva/exemples/ca3/donnees.xml usr/share/qxtva/correspondances-pcg.txt; do
  [ -e "$racine/$f" ] || echec "$f n'est pas installé"
done
[ -z "$(find "$racine/usr/include" -name '*_interne.h')" ] || echec "des en-têtes internes sont installés"
# Every installed header compiles on its own with the others beside it.
for h in $(cd "$racine/usr/include/qx_tva" && find . -name '*.h'); do
  echo "#include \"${h#./}\"" | g++ -std=c++20 -fsyntax-only -I"$racine/usr/include/qx_tva" \
    -I/usr/include/libxml2 -x c++ - || echec "$h ne compile pas seul"
done
[ "$("$racine/usr/bin/qxtva" --version)" = "qxtva 1.2" ] || echec "qxtva --version"

exemples=$racine/usr/share/doc/qxtva/exemples/ca3
for lien in OFF ON; do
  cmake -S tests/installation/projet_externe -B "$travail/externe-$lien" -G Ninja \
        -DCMAKE_PREFIX_PATH="$racine/usr" -DLIEN_STATIQUE=$lien >/dev/null
  cmake --build "$travail/externe-$lien" >/dev/null
  sortie=$(LD_LIBRARY_PATH="$racine/usr/$libdir" "$travail/externe-$lien/calcul_ca3" \
           "$exemples/donnees.xml" "$exemples/rubriques.xml")
  [ "$sortie" = "CA3KE=584 forcée" ] || echec "projet externe ($lien) : $sortie"
done

export PKG_CONFIG_PATH=$racine/usr/$libdir/pkgconfig
g++ tests/installation/projet_externe/calcul_ca3.cpp -o "$travail/par_pkgconfig" \
    $(pkg-config --cflags --libs qx_tva)
sortie=$(LD_LIBRARY_PATH="$racine/usr/$libdir" "$travail/par_pkgconfig" "$exemples/donnees.xml" "$exemples/rubriques.xml")
[ "$sortie" = "CA3KE=584 forcée" ] || echec "pkg-config : $sortie"

(cd "$build" && cpack -G DEB -B "$travail/paquet" >/dev/null)
paquet=$(ls "$travail"/paquet/*.deb)
dpkgracine=$travail/dpkg
mkdir -p "$dpkgracine/var/lib/dpkg/info" "$dpkgracine/var/lib/dpkg/updates"
touch "$dpkgracine/var/lib/dpkg/status"
dpkg_racine() { dpkg --root="$dpkgracine" --force-script-chrootless --force-depends --force-not-root "$@"; }
# The fake root has no package database of its own: dependencies are forced.
dpkg_racine -i "$paquet" >"$travail/dpkg.log" 2>&1 || { cat "$travail/dpkg.log"; echec "dpkg -i"; }
[ "$("$dpkgracine/usr/bin/qxtva" --version)" = "qxtva 1.2" ] || echec "qxtva du paquet"
dpkg_racine -r qxtva >"$travail/dpkg.log" 2>&1 || { cat "$travail/dpkg.log"; echec "dpkg -r"; }
reste=$(find "$dpkgracine" -path "$dpkgracine/var" -prune -o -type f -print | head -5)
[ -z "$reste" ] || echec "fichiers laissés par la désinstallation : $reste"
echo "installation vérifiée : $(basename "$paquet")"
