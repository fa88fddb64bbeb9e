#!/usr/bin/env bash
# The installed game, checked from a staged install:
#   installation.sh BUILD_DIR SOURCE_DIR            the tree of cmake --install
#   installation.sh BUILD_DIR SOURCE_DIR --paquet   the Debian package
# - the tree: cmake --install into a temporary DESTDIR; or the package built
#   by scripts/paquet.sh (dpkg-buildpackage with debian/, Unix Makefiles, in
#   parallel, the suites for neither root nor the install run; lintian
#   without error or warning), unpacked, with the same files as
#   cmake --install, its dependencies and no maintainer script;
# - desktop-file-validate prints nothing, appstreamcli reports no error or
#   warning (with and without screenshots);
# - every file the desktop entry, the metainfo, the launcher and the help
#   pages refer to is in the staged tree;
# - the staged launcher, with fresh data folders: the folder, the links to
#   the help pages, the bytes of "mv", an existing "mv" kept, the best score
#   of the older "MerleVert" folder carried over, stale links removed;
# - the real program started by the staged launcher (and by the build-tree
#   launcher, for cmake --install) runs in the data folder.
# Exit 77 (skipped) only when the validators or the packaging tools are not
# installed.
set -euo pipefail

construction=$(readlink -f "$1")
sources=$(readlink -f "$2")
paquet_debian=no
[ "${3:-}" = "--paquet" ] && paquet_debian=yes
id=io.github.merlevert.MerleVert

outils="desktop-file-validate appstreamcli"
[ "$paquet_debian" = yes ] && outils="$outils dpkg-buildpackage dh lintian"
for outil in $outils; do
  if ! command -v "$outil" >/dev/null; then
    echo "SKIP: $outil absent (paquets desktop-file-utils, appstream, dpkg-dev, debhelper, lintian)"
    exit 77
  fi
done

travail=$(mktemp -d)
enfants=()
nettoyer() {
  for p in "${enfants[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
  rm -rf "$travail"
}
trap nettoyer EXIT

echecs=0
echec() { echo "FAIL: $*"; echecs=$((echecs + 1)); }
ok() { echo "PASS: $*"; }

# Files of an installed tree under usr/, one a line, in a form both trees
# share: the program's folder without the multiarch part, the launcher in
# bin/, the manual page uncompressed, the licence files and the package's
# lintian overrides left out.
fichiers_installes() {
  (cd "$1" && find . -type f -o -type l) | sed -e 's|^\./||' \
    -e 's|^lib/[^/]*-linux-gnu/|lib/|' -e 's|^games/|bin/|' -e 's|\.6\.gz$|.6|' \
    | grep -v -e '^share/doc/' -e '^share/lintian/' | sort
}

# --- Staged install --------------------------------------------------------
scene=$travail/scene
DESTDIR=$scene cmake --install "$construction" --prefix /usr >"$travail/install.log"
if [ "$paquet_debian" = yes ]; then
  # The package, built from a copy of the sources in the build folder (its
  # log and lintian's report stay there).
  dossier_paquet=$construction/paquet-test
  if ! deb=$(bash "$sources/scripts/paquet.sh" "$dossier_paquet" | tail -n 1) || [ ! -f "$deb" ]; then
    echo "FAIL: the package was not built (log: $dossier_paquet/construction.log)"
    exit 1
  fi
  ok "package built, lintian reports no error or warning: ${deb##*/}"
  # Debian builds with CMake's default generator, in parallel where it can.
  cache=$(ls "$dossier_paquet"/merle-vert-*/obj-*/CMakeCache.txt)
  grep -qx 'CMAKE_GENERATOR:INTERNAL=Unix Makefiles' "$cache" || echec "package not built with Unix Makefiles"
  if [ "$(nproc)" -gt 1 ] && ! grep -qE '^\s*(cd [^&]*&& )?make -j[0-9]' "$dossier_paquet/construction.log"; then
    echec "package not built in parallel"
  fi
  # dh_auto_test ran the suites, none of those labelled for root or for the
  # install among them.
  if [[ " ${DEB_BUILD_OPTIONS:-} " != *" nocheck "* ]]; then
    grep -qE '^100% tests passed, 0 tests failed out of [1-9]' "$dossier_paquet/construction.log" \
      || echec "dh_auto_test ran no suite, or one failed"
    while read -r nom; do
      ! grep -qE "Test +#[0-9]+: $nom " "$dossier_paquet/construction.log" \
        || echec "dh_auto_test ran $nom"
    done < <(ctest --test-dir "$construction" -N -L 'racine|installation|son' | sed -n 's/^ *Test *#[0-9]*: //p')
  fi
  fichiers_installes "$scene/usr" >"$travail/cmake.txt"
  deballe=$travail/paquet
  dpkg-deb -x "$deb" "$deballe"
  fichiers_installes "$deballe/usr" >"$travail/paquet.txt"
  if diff -u "$travail/cmake.txt" "$travail/paquet.txt" >"$travail/diff.txt"; then
    ok "the package installs the files of cmake --install ($(wc -l <"$travail/paquet.txt"))"
  else
    echec "the package and cmake --install differ: $(cat "$travail/diff.txt")"
  fi
  [ -f "$deballe/usr/share/doc/merle-vert/copyright" ] || echec "no copyright file in the package"
  [ -x "$deballe/usr/games/merle-vert" ] || echec "launcher not in /usr/games"
  dependances=$(dpkg-deb -f "$deb" Depends)
  # Debian 13 renamed some libraries for its 64-bit time_t (libqt6core6t64).
  for d in libqt6widgets6 libqt6gui6 libqt6core6 libcanberra0 fonts-dejavu-core; do
    grep -qE "(^|[ ,])$d(t64)?( |,|$)" <<<"$dependances" || echec "package does not depend on $d: $dependances"
  done
  # apt-get remove leaves nothing: every file is dpkg's, and no script of
  # the package makes another one.
  scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -vE '^\./$|^\./(control|md5sums)$' || true)
  [ -z "$scripts" ] || echec "maintainer files in the package: $scripts"
  racine=$deballe/usr
else
  racine=$scene/usr
fi
lanceur=$racine/bin/merle-vert
[ -e "$lanceur" ] || lanceur=$racine/games/merle-vert
bureau=$racine/share/applications/$id.desktop
metainfo=$racine/share/metainfo/$id.metainfo.xml
aide=$racine/share/merle-vert/aide
programme=$(ls "$racine"/lib/merle-vert/MerleVert "$racine"/lib/*/merle-vert/MerleVert 2>/dev/null | head -n 1 || true)

for f in "$lanceur" "$bureau" "$metainfo" "$programme"; do
  [ -f "$f" ] || { echo "FAIL: absent de l'installation : $f"; exit 1; }
done
[ -x "$lanceur" ] || echec "launcher not executable"
[ -f "$racine/share/man/man6/merle-vert.6" ] || [ -f "$racine/share/man/man6/merle-vert.6.gz" ] \
  || echec "manual page not installed"

# --- Validators ------------------------------------------------------------
sortie=$(desktop-file-validate "$bureau" 2>&1) || true
if [ -n "$sortie" ]; then echec "desktop-file-validate: $sortie"; else ok "desktop entry valid"; fi

# Errors (E:) and warnings (W:) fail; infos and pedantic hints are allowed.
# So is the missing home page, of which AppStream 1.0 (Debian 13) warns: the
# game has no web page to name.
sans_accueil() { grep -v ': url-homepage-missing$' <<<"$1" || true; }
valider_metainfo() {
  local fichier=$1 nom=$2 rapport
  if ! rapport=$(appstreamcli validate --no-net "$fichier" 2>&1) && grep -qE '^\s*E:' <<<"$rapport"; then
    echec "$nom: appstreamcli failed: $rapport"
  elif sans_accueil "$rapport" | grep -qE '^\s*[EW]:'; then
    echec "$nom: $rapport"
  else
    ok "$nom valid"
  fi
}
valider_metainfo "$metainfo" "installed metainfo"
if { ! rapport=$(appstreamcli validate-tree --no-net "$racine" 2>&1) && grep -qE '^\s*E:' <<<"$rapport"; } \
   || sans_accueil "$rapport" | grep -qE '^\s*[EW]:'; then
  echec "appstreamcli validate-tree: $rapport"
else
  ok "installed tree valid"
fi
# The same metainfo with the screenshots of docs/, as built when the web
# address of docs/ is given.
cmake -DMODELE="$sources/packaging/$id.metainfo.xml.in" -DSORTIE="$travail/captures.metainfo.xml" \
      -DVERSION=1.0.0 -DDOCS="$sources/docs" -DURL_CAPTURES=https://example.org/merle-vert/docs/ \
      -P "$sources/packaging/metainfo.cmake"
valider_metainfo "$travail/captures.metainfo.xml" "metainfo with screenshots"
captures=$(grep -c '<image type="source"' "$travail/captures.metainfo.xml" || true)
[ "$captures" -ge 1 ] || echec "no screenshot written when an address is given"

# --- Files referred to ----------------------------------------------------
valeur() { sed -n "s/^$1=//p" "$bureau"; }
exec_bureau=$(valeur Exec)
[ -x "${lanceur%/*}/${exec_bureau%% *}" ] || echec "Exec=$exec_bureau is not an installed program"
[ "$(valeur Icon)" = "$id" ] || echec "Icon=$(valeur Icon), expected $id"
for taille in 32 48 64 128 256; do
  icone=$racine/share/icons/hicolor/${taille}x${taille}/apps/$(valeur Icon).png
  if [ ! -f "$icone" ]; then
    echec "icon $taille absent: $icone"
  else
    # Width and height of the PNG, big-endian at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icone" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${taille}x${taille}" ] || echec "icon $taille is $dims"
  fi
done
lancable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$racine/share/applications/$lancable" ] || echec "launchable $lancable not installed"
binaire=$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
[ -x "${lanceur%/*}/$binaire" ] || echec "provided binary $binaire not installed"
grep -q "<id>$id</id>" "$metainfo" || echec "metainfo id is not $id"

for page in Som.htm regle.htm com.htm aprop.htm; do
  [ -f "$aide/$page" ] || echec "help page $page not installed"
done
references=0
for page in "$aide"/*.htm; do
  while IFS= read -r cible; do
    cible=${cible%%#*}
    case "$cible" in ''|http:*|https:*|mailto:*) continue ;; esac
    references=$((references + 1))
    [ -f "$aide/$cible" ] || echec "${page##*/} refers to $cible, not installed"
  done < <(grep -oE '(href|src)="[^"]*"' "$page" | sed -E 's/^(href|src)="(.*)"$/\2/')
done
[ "$references" -gt 0 ] || echec "no link found in the help pages"
ok "$references links of the help pages checked"

# --- The launcher, with a program that only reports where it runs --------
# A copy of the staged tree whose program writes its working folder.
essai=$travail/essai
cp -a "$racine" "$essai"
programme_essai=$essai/${programme#"$racine"/}
lanceur_essai=$essai/${lanceur#"$racine"/}
rm "$programme_essai"
cat >"$programme_essai" <<'EOF'
#!/bin/sh
pwd -P >"$MERLE_ESSAI_TEMOIN"
EOF
chmod +x "$programme_essai"
temoin=$travail/temoin
lancer() { # [VAR=value...]: runs the test launcher with that environment only
  rm -f "$temoin"
  env -i PATH="$PATH" MERLE_ESSAI_TEMOIN="$temoin" "$@" "$lanceur_essai"
}
vierge() { printf 'Personne\r\n0\r\n'; }
verifier_dossier() { # FOLDER CASE: cwd, links to every help file, nothing else changed
  local dossier=$1 cas=$2 f lien
  if [ ! -f "$temoin" ] || [ "$(cat "$temoin")" != "$(readlink -f "$dossier")" ]; then
    echec "$cas: program not started in $dossier ($(cat "$temoin" 2>/dev/null))"
  fi
  for f in "$essai/share/merle-vert/aide"/*; do
    lien=$dossier/${f##*/}
    if [ ! -L "$lien" ] || [ "$(readlink -f "$lien")" != "$(readlink -f "$f")" ]; then
      echec "$cas: ${f##*/} is not a link to the installed file"
    fi
  done
  if ls -A "$dossier" | grep -q '^\.mv\.lanceur'; then echec "$cas: temporary file left"; fi
}

# Fresh XDG_DATA_HOME.
donnees=$travail/xdg1
lancer HOME="$travail/maison1" XDG_DATA_HOME="$donnees"
verifier_dossier "$donnees/merle-vert" "fresh XDG_DATA_HOME"
if cmp -s "$donnees/merle-vert/mv" <(vierge); then ok "fresh folder: mv = Personne CR LF 0 CR LF"
else echec "fresh folder: mv is $(od -c "$donnees/merle-vert/mv" 2>&1 | head -2)"; fi
[ ! -e "$travail/maison1" ] || echec "HOME used although XDG_DATA_HOME is set"

# Second start: nothing changes, the player's score is kept.
printf 'Albert\r\n4200\r\n' >"$donnees/merle-vert/mv"
printf 'ma note\n' >"$donnees/merle-vert/note.txt"
lancer HOME="$travail/maison1" XDG_DATA_HOME="$donnees"
verifier_dossier "$donnees/merle-vert" "second start"
cmp -s "$donnees/merle-vert/mv" <(printf 'Albert\r\n4200\r\n') && ok "existing mv kept" \
  || echec "existing mv overwritten"
[ "$(cat "$donnees/merle-vert/note.txt")" = "ma note" ] || echec "player's own file changed"

# Pages copied by an older build are replaced by links; a link to a page
# the installed version no longer has is removed; a dangling link of the
# player's elsewhere is left alone.
rm "$donnees/merle-vert/Som.htm"
printf 'ancienne page\n' >"$donnees/merle-vert/Som.htm"
ln -s "$(readlink -f "$essai/share/merle-vert/aide")/disparue.htm" "$donnees/merle-vert/disparue.htm"
ln -s /nulle/part "$donnees/merle-vert/a-moi"
lancer HOME="$travail/maison1" XDG_DATA_HOME="$donnees"
verifier_dossier "$donnees/merle-vert" "older copies"
[ ! -L "$donnees/merle-vert/disparue.htm" ] || echec "stale link to a removed page kept"
[ -L "$donnees/merle-vert/a-moi" ] || echec "player's own link removed"

# A best score left by earlier builds in .../MerleVert is carried over,
# and the old folder is left as it was.
donnees=$travail/xdg2
mkdir -p "$donnees/MerleVert"
printf 'Berthe\r\n9100\r\n' >"$donnees/MerleVert/mv"
lancer HOME="$travail/maison2" XDG_DATA_HOME="$donnees"
verifier_dossier "$donnees/merle-vert" "migration"
cmp -s "$donnees/merle-vert/mv" <(printf 'Berthe\r\n9100\r\n') && ok "old best score carried over" \
  || echec "old best score not carried over"
cmp -s "$donnees/MerleVert/mv" <(printf 'Berthe\r\n9100\r\n') || echec "old folder changed"
# ...but never over a score already in the new folder.
printf 'Claude\r\n50\r\n' >"$donnees/merle-vert/mv"
lancer HOME="$travail/maison2" XDG_DATA_HOME="$donnees"
cmp -s "$donnees/merle-vert/mv" <(printf 'Claude\r\n50\r\n') || echec "old best score copied over a newer one"

# No XDG_DATA_HOME, or a relative one (which must be ignored): HOME.
n=0
for xdg in "" "relatif/partage"; do
  n=$((n + 1))
  maison=$travail/maison-sans-xdg$n
  mkdir -p "$maison"
  (cd "$travail" && lancer HOME="$maison" ${xdg:+XDG_DATA_HOME=$xdg})
  verifier_dossier "$maison/.local/share/merle-vert" "XDG_DATA_HOME='$xdg'"
  cmp -s "$maison/.local/share/merle-vert/mv" <(vierge) || echec "XDG_DATA_HOME='$xdg': mv not prepared"
  [ ! -e "$travail/relatif" ] || echec "relative XDG_DATA_HOME used"
done

# Started through a symbolic link in another folder.
mkdir -p "$essai/lien"
ln -s "$lanceur_essai" "$essai/lien/merle-vert"
rm -f "$temoin"
env -i PATH="$PATH" MERLE_ESSAI_TEMOIN="$temoin" HOME="$travail/maison3" XDG_DATA_HOME="$travail/xdg3" \
  "$essai/lien/merle-vert"
verifier_dossier "$travail/xdg3/merle-vert" "launcher through a symbolic link"

# Neither HOME nor XDG_DATA_HOME: a clear failure, no folder made anywhere.
if (cd "$travail" && env -i PATH="$PATH" MERLE_ESSAI_TEMOIN="$temoin" "$lanceur_essai" 2>"$travail/erreur"); then
  echec "launcher succeeded with neither HOME nor XDG_DATA_HOME"
else
  grep -q "HOME" "$travail/erreur" || echec "no message without HOME: $(cat "$travail/erreur")"
fi

# --- The real program, started by the launchers ---------------------------
# Waits until the launcher has become the program, then checks the program
# file and its working folder through /proc, and stops it.
demarrer() { # LAUNCHER PROGRAM DATA_FOLDER CASE
  local lanceur_reel=$1 programme=$2 dossier=$3 cas=$4 pid exe="" i
  env -i PATH="$PATH" HOME="$travail/maison-reelle" XDG_DATA_HOME="$dossier" \
      QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$lanceur_reel" >"$travail/sortie-reelle" 2>&1 &
  pid=$!
  enfants+=("$pid")
  # Up to a minute for the exec: a guard against a hang, not a measure.
  for ((i = 0; i < 600; i++)); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null || true)
    [ "$exe" = "$(readlink -f "$programme")" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$exe" != "$(readlink -f "$programme")" ]; then
    echec "$cas: the program did not start ($exe): $(cat "$travail/sortie-reelle")"
  elif [ "$(readlink "/proc/$pid/cwd")" != "$(readlink -f "$dossier/merle-vert")" ]; then
    echec "$cas: program running in $(readlink "/proc/$pid/cwd")"
  else
    ok "$cas: program running in the data folder"
  fi
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if grep -qE 'Sanitizer|runtime error' "$travail/sortie-reelle"; then
    echec "$cas: sanitizer report: $(cat "$travail/sortie-reelle")"
  fi
  cmp -s "$dossier/merle-vert/mv" <(vierge) || echec "$cas: mv not prepared"
  [ -L "$dossier/merle-vert/regle.htm" ] || echec "$cas: help pages not linked"
}
demarrer "$lanceur" "$programme" "$travail/reel1" "staged launcher"
if [ "$paquet_debian" = no ]; then
  demarrer "$construction/merle-vert" "$construction/MerleVert" "$travail/reel2" "build-tree launcher"
  [ "$(readlink -f "$travail/reel2/merle-vert/com.htm")" = "$sources/help/com.htm" ] \
    || echec "build-tree launcher does not link the source help pages"
fi

if [ "$echecs" -ne 0 ]; then
  echo "$echecs check(s) failed"
  exit 1
fi
# The package's build tree (about 100 MB) is kept only when a check failed.
if [ "$paquet_debian" = yes ]; then
  rm -rf "$dossier_paquet"/merle-vert-[0-9]*/
fi
echo "All installation checks passed"
