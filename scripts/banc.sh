#!/usr/bin/env bash
# The performance benchmark: builds in Release in build-banc/, then measures
# the game against a floor (a minimal Qt 6 Widgets program with the same
# controls, built beside it) on this machine, in this run, and prints one
# table. Start-up, memory, CPU and pauses are measured from outside the
# program under Xvfb with openbox; the rules on Qt's offscreen platform.
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="xvfb openbox xdotool pkg-config libxcb1-dev libxcb-damage0-dev"
. "$racine/scripts/paquets.sh"

construction="$racine/build-banc"
debut=$(date +%s)
cmake -S "$racine" -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMERLE_BANC=ON >/dev/null
cmake --build "$construction" --target MerleVert banc_sonde banc_plancher banc_regles | tail -n 1
echo "Build: $(( $(date +%s) - debut )) s"
debut=$(date +%s)

RUNS=7
charge=$(cut -d' ' -f1-3 /proc/loadavg)
# Every raw figure stays in build-banc/banc/ after the run, with the log of
# each computer card of the pause run (pauses.txt).
travail="$construction/banc"
rm -rf "$travail"
mkdir -p "$travail"
pids=()
nettoyer() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap nettoyer EXIT

# Two X servers, each with openbox: the game runs on the first, the floor on
# the second; each one's start-up is timed while the other sits idle.
libre() {
  local n=$1
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}
demarrerX() {
  Xvfb ":$1" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$1" ] && break; sleep 0.1; done
  DISPLAY=":$1" openbox >/dev/null 2>&1 &
  pids+=($!)
}
ecranJeu=$(libre 61)
demarrerX "$ecranJeu"
ecranPlancher=$(libre $((ecranJeu + 1)))
demarrerX "$ecranPlancher"
sleep 1

# The game starts in a folder with a best-score file, as after a first game.
mkdir -p "$travail/jeu"
printf 'Personne\r\n0\r\n' > "$travail/jeu/mv"
sonde="$construction/bench/banc_sonde"

# Rules, on the offscreen platform; and the faces of the cards as the play zone shows them.
"$construction/bench/banc_regles" --faces "$travail/faces.rgb" 2>/dev/null
"$construction/bench/banc_regles" --runs "$RUNS" > "$travail/regles.txt" 2>/dev/null

# Start-up, memory, CPU and idle: RUNS runs of each, interleaved.
for i in $(seq "$RUNS"); do
  DISPLAY=":$ecranJeu" "$sonde" demarrage --dossier "$travail/jeu" --donner -- "$construction/MerleVert" \
    > "$travail/jeu.$i" &
  pj=$!
  sleep 6.2   # the game is then idle, a game dealt
  DISPLAY=":$ecranPlancher" "$sonde" demarrage --dossier "$travail" -- "$construction/bench/banc_plancher" \
    > "$travail/plancher.$i" &
  pp=$!
  wait "$pj"
done
wait "$pp"

# Idle again, now with a box open while a message of the screen-reader
# announcer waits for it to close: 3 runs.
for i in 1 2 3; do
  DISPLAY=":$ecranJeu" "$sonde" demarrage --dossier "$travail/jeu" --boite -- "$construction/MerleVert" \
    > "$travail/boite.$i"
done

# The pauses: 100 computer cards in the real program.
DISPLAY=":$ecranJeu" "$sonde" pauses --dossier "$travail/jeu" --faces "$travail/faces.rgb" --cartes 100 \
  --journal "$travail/pauses.txt" -- "$construction/MerleVert" > "$travail/pauses.res"

# ---- the table ----
valeurs() {   # key, files...: one value per file
  local cle=$1; shift
  cat "$@" | sed -n "s/^$cle=//p"
}
liste() { tr ',' '\n'; }
resume() {    # median (min–max) of the values on stdin, scaled by $1, $2 decimals
  sort -g | awk -v k="$1" -v d="$2" '{a[NR]=$1*k} END {
    if (NR == 0) { print "—"; exit }
    m = NR % 2 ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2
    printf "%." d "f (%." d "f–%." d "f)\n", m, a[1], a[NR] }'
}
mediane() { sort -g | awk -v k="$1" '{a[NR]=$1*k} END { if (NR==0) {print "NA"; exit}; print (NR % 2 ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2) }'; }
maximum() { sort -g | awk 'END { print NR ? $1 : "NA" }'; }
oui() {   # "—" when a figure is missing
  case "$1" in *NA*|*"  "*|"") echo "—"; return ;; esac
  awk "BEGIN { print ($1) ? \"yes\" : \"NO\" }"
}

J=("$travail"/jeu.[0-9]*)
P=("$travail"/plancher.[0-9]*)
B=("$travail"/boite.[0-9]*)
jsplash=$(valeurs splash_ms "${J[@]}" | mediane 1)
jprinc=$(valeurs principale_ms "${J[@]}" | mediane 1)
pcarte=$(valeurs premiere_ms "${P[@]}" | mediane 1)
jrss=$(valeurs rss_ko "${J[@]}" | mediane 1)
prss=$(valeurs rss_ko "${P[@]}" | mediane 1)
jcpu=$(valeurs cpu3_ms "${J[@]}" | mediane 1)
pcpu=$(valeurs cpu3_ms "${P[@]}" | mediane 1)
jpause=$(valeurs cpu_pause_ms "${J[@]}" | maximum)
repos=$(valeurs repos_cpu_ms "${J[@]}" | maximum)
reveils=$(valeurs repos_reveils "${J[@]}" | maximum)
dommages=$(valeurs repos_dommages "${J[@]}" | maximum)
brepos=$(valeurs repos_cpu_ms "${B[@]}" | maximum)
breveils=$(valeurs repos_reveils "${B[@]}" | maximum)
donnees=$(valeurs donne "${J[@]}" | awk '{s+=$1} END {print s+0}')
rdonne=$(valeurs donne_us "$travail/regles.txt" | liste | mediane 1)
rcarte=$(valeurs carte_us "$travail/regles.txt" | liste | mediane 1)
rpartie=$(valeurs partie_ms "$travail/regles.txt" | liste | mediane 1)
rparties=$(valeurs parties_par_s "$travail/regles.txt" | liste | mediane 1)
pmoy=$(valeurs pause_moyenne_ms "$travail/pauses.res")
ppire=$(valeurs pause_pire_ecart_ms "$travail/pauses.res")
pn=$(valeurs pauses "$travail/pauses.res")
pvues=$(valeurs cartes_visibles "$travail/pauses.res")
psuites=$(valeurs suites_valides "$travail/pauses.res")

echo
echo "Merle Vert, Release build, $(nproc) cores, Xvfb 1280x800 with openbox; median (min–max) of $RUNS runs"
echo
echo "| Figure | Merle Vert | Floor | Goal | Met? |"
echo "|---|---:|---:|---|---|"
echo "| Splash mapped (ms from exec) | $(valeurs splash_ms "${J[@]}" | resume 1 0) | $(valeurs premiere_ms "${P[@]}" | resume 1 0) | ≤ 1.5 × floor = $(awk -v p="$pcarte" 'BEGIN{printf "%.0f", 1.5*p}') | $(oui "$jsplash <= 1.5*$pcarte") |"
echo "| Main window mapped (ms from exec) | $(valeurs principale_ms "${J[@]}" | resume 1 0) | $(valeurs premiere_ms "${P[@]}" | resume 1 0) | ≤ 2000 + 1.5 × floor = $(awk -v p="$pcarte" 'BEGIN{printf "%.0f", 2000+1.5*p}') | $(oui "$jprinc <= 2000+1.5*$pcarte") |"
echo "| RSS 3 s after the main window, game dealt (MB) | $(valeurs rss_ko "${J[@]}" | resume 0.001024 1) | $(valeurs rss_ko "${P[@]}" | resume 0.001024 1) | ≤ 1.4 × floor = $(awk -v p="$prss" 'BEGIN{printf "%.1f", 1.4*p*0.001024}') and < 53.5 | $(oui "$jrss <= 1.4*$prss && $jrss*0.001024 < 53.5") |"
echo "| Pss, same moment (MB) | $(valeurs pss_ko "${J[@]}" | resume 0.001024 1) | $(valeurs pss_ko "${P[@]}" | resume 0.001024 1) | — | — |"
echo "| CPU from exec to 3 s after the main window (ms) | $(valeurs cpu3_ms "${J[@]}" | resume 1 0) | $(valeurs cpu3_ms "${P[@]}" | resume 1 0) | ≤ 3 × floor = $(awk -v p="$pcpu" 'BEGIN{printf "%.0f", 3*p}') | $(oui "$jcpu <= 3*$pcpu") |"
echo "| CPU inside the splash's 2000 ms pause (ms) | $(valeurs cpu_pause_ms "${J[@]}" | resume 1 0) | — | 0 | $(oui "$jpause == 0") |"
echo "| Idle 10 s, round on the table: CPU (ms) | $(valeurs repos_cpu_ms "${J[@]}" | resume 1 0) | $(valeurs repos_cpu_ms "${P[@]}" | resume 1 0) | 0 | $(oui "$repos == 0") |"
echo "| Idle 10 s: wake-ups (context switches) | $(valeurs repos_reveils "${J[@]}" | resume 1 0) | $(valeurs repos_reveils "${P[@]}" | resume 1 0) | 0 | $(oui "$reveils == 0") |"
echo "| Idle 10 s: repaints (X damage events) | $(valeurs repos_dommages "${J[@]}" | resume 1 0) | $(valeurs repos_dommages "${P[@]}" | resume 1 0) | 0 | $(oui "$dommages == 0") |"
echo "| Idle 10 s, a box open, a message waiting: CPU (ms) | $(valeurs repos_cpu_ms "${B[@]}" | resume 1 0) | — | 0 | $(oui "$brepos == 0") |"
echo "| Idle 10 s, a box open, a message waiting: wake-ups | $(valeurs repos_reveils "${B[@]}" | resume 1 0) | — | 0 | $(oui "$breveils == 0") |"
echo "| One deal: distribuerCartes + trierMains (µs) | $(valeurs donne_us "$travail/regles.txt" | liste | resume 1 1) | — | < 50 | $(oui "$rdonne < 50") |"
echo "| One human card: Image1Click (µs) | $(valeurs carte_us "$travail/regles.txt" | liste | resume 1 0) | — | < 1000 | $(oui "$rcarte < 1000") |"
echo "| One whole game, real windows, pauses recorded (ms) | $(valeurs partie_ms "$travail/regles.txt" | liste | resume 1 0) | — | < 20 | $(oui "$rpartie < 20") |"
echo "| Games per second | $(valeurs parties_par_s "$travail/regles.txt" | liste | resume 1 1) | — | > 50 | $(oui "$rparties > 50") |"
echo "| 500 ms pause: mean over $pn computer cards (min–max) (ms) | $pmoy ($(valeurs pause_min_ms "$travail/pauses.res")–$(valeurs pause_max_ms "$travail/pauses.res")) | — | 500 ± 5 | $(oui "$pmoy >= 495 && $pmoy <= 505") |"
echo "| 500 ms pause: worst deviation (ms) | $ppire | — | — | — |"
echo "| Card on screen during its whole pause | $pvues / $pn ($(valeurs captures "$travail/pauses.res") grabs, longest gap $(valeurs captures_trou_max_ms "$travail/pauses.res") ms) | — | all | $(oui "$pvues == $pn && $pn >= 100") |"
echo
echo "Games dealt before the memory sample: $donnees / $RUNS; computer cards in a valid rank order: $psuites / $pn;" \
     "$(valeurs manches "$travail/pauses.res") rounds and $(valeurs boites "$travail/pauses.res") message boxes closed during the pause run."
echo "Of one deal, distribuerCartes alone: $(valeurs distribution_us "$travail/regles.txt" | liste | resume 1 1) µs;" \
     "a game is $(valeurs donnes_par_partie "$travail/regles.txt") deals."
echo "Load average (1, 5, 15 min) before the measurements: $charge; after: $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Measurements: $(( $(date +%s) - debut )) s; raw figures in $travail"
