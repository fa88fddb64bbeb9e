#!/usr/bin/env python3
"""The help window beside Orca, with the keyboard alone.

Opens the rules page and asks Orca to read on (say-all, KP_Add) from the
caret, then from a link that Tab selected; then Tab past the last link and
Shift+Tab before the first one on the contents page. Checks from Orca's log
that reading from a link goes on from the link to the end of the page, and
that Orca says where the focus is once Tab has left the links.

Writes what Orca said and brailled at each step to OUT; exits 0 when every
check holds, 1 otherwise, 77 when the screen reader or the X server is
missing. The X display is given, so that runs beside each other do not meet.

Usage: lecteur_ecran_aide.py LAUNCHER DISPLAY OUT
"""
import os, re, subprocess, sys, tempfile, time
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lecteur_ecran as le

launcher, display, out = sys.argv[1], sys.argv[2], sys.argv[3]
le.needs("orca", "Xvfb", "openbox", "xdotool", "dbus-run-session")
if "MERLE_ECOUTE_SESSION" not in os.environ:
    env = dict(os.environ, MERLE_ECOUTE_SESSION="1")
    sys.exit(subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv, env=env))


def parole(log):
    """Orca's speech, one entry per utterance, also those that hold line breaks."""
    with open(log, encoding="utf-8", errors="replace") as f:
        texte = f.read()
    return [(0, m.group(1).replace("\n", " ").strip()) for m in
            re.finditer(r"^\d\d:\d\d:\d\d\.\d+ - SPEECH OUTPUT: '(.*?)'(?: voice=\w+)?\s*(?:\{[^}\n]*\})?\s*$(?=\n\d\d:|\n[A-Z]|\Z)",
                         texte, re.M | re.S)]


le.speech = parole


def braille(log):
    lines = []
    with open(log, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.search(r"BRAILLE LINE:\s+'(.*)'", line)
            if m:
                lines.append(m.group(1))
    return lines


def calme(s, delai=4, maxi=90):
    """Waits until Orca has said nothing for delai seconds."""
    n, t = len(le.speech(s.log)), time.time()
    debut = time.time()
    while time.time() - t < delai and time.time() - debut < maxi:
        time.sleep(0.3)
        m = len(le.speech(s.log))
        if m != n:
            n, t = m, time.time()


ECHO = {"tab", "plus", "left shift", "left alt", "F4", "r", "s", "KP_Add", "shift"}
etapes = {}


def etape(s, rapport, nom, *touches):
    avant_p, avant_b = len(le.speech(s.log)), len(braille(s.log))
    for k in touches:
        s.keys(k, pause=1.5)
    calme(s)
    dits = [t for _, t in le.speech(s.log)[avant_p:]]
    br = braille(s.log)[avant_b:]
    rapport.append("== %s : %d énoncés, %d lignes braille" % (nom, len(dits), len(br)))
    rapport += ["  P: " + d for d in dits]
    rapport += ["  B: " + b for b in br]
    etapes[nom] = [d for d in dits if d not in ECHO]
    return dits


def ouvrir(s, p, rapport, lettre, nom):
    """Alt+A and the item's letter, from the table, until the help window is heard."""
    for _ in range(4):
        avant = len(le.speech(s.log))
        p.alt("a", pause=1)
        dits = etape(s, rapport, "Aide > " + nom, lettre)
        if any(d.startswith("Aide : ") for d in dits):
            return
        s.keys("Escape", "Escape", pause=1)
    raise RuntimeError("aide jamais ouverte")


def fermer(s, p, rapport):
    dits = etape(s, rapport, "Alt+F4", "alt+F4")
    if not any("Nouvelle partie" in d for d in dits):
        raise RuntimeError("aide pas fermée")


workdir = tempfile.mkdtemp(prefix="merle-aide-")
s = le.Session(launcher, workdir)
s.env["DISPLAY"] = display
rapport = []
try:
    s.start(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"])
    time.sleep(1.5)
    s.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    s.start(["openbox"])
    time.sleep(1)
    s.start(["/usr/bin/python3", "-c", le.ORCA, "--disable", "speech", "--debug-file", s.log])
    time.sleep(6)
    s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    s.start([launcher])
    p = le.Partie(s)
    if not le.wait_for(s, p.seen, lambda t: re.match(r"Nouvelle partie (push )?button", t), 30):
        for w in s.run("xdotool", "search", "--onlyvisible", "--name", "^Merle Vert$").stdout.split():
            s.run("xdotool", "windowactivate", w)
        p.attendre(r"^Nouvelle partie (push )?button", 30)
    s.keys("shift", pause=1)
    calme(s)
    ouvrir(s, p, rapport, "r", "Règle du jeu")
    etape(s, rapport, "lire tout depuis le curseur", "KP_Add")
    fermer(s, p, rapport)
    ouvrir(s, p, rapport, "r", "Règle du jeu")
    etape(s, rapport, "Tab, Tab", "Tab", "Tab")
    etape(s, rapport, "lire tout depuis le lien", "KP_Add")
    fermer(s, p, rapport)
    ouvrir(s, p, rapport, "r", "Règle du jeu")
    etape(s, rapport, "Tab x4", *["Tab"] * 4)
    etape(s, rapport, "lire tout depuis le 4e lien", "KP_Add")
    fermer(s, p, rapport)
    ouvrir(s, p, rapport, "r", "Règle du jeu")
    etape(s, rapport, "Tab x5", *["Tab"] * 5)
    etape(s, rapport, "Tab après le dernier lien", "Tab")
    etape(s, rapport, "Down", "Down")
    fermer(s, p, rapport)
    ouvrir(s, p, rapport, "s", "Sommaire")
    etape(s, rapport, "Tab", "Tab")
    etape(s, rapport, "Maj+Tab avant le premier", "shift+Tab")
    etape(s, rapport, "Tab", "Tab")
finally:
    s.stop()
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(rapport) + "\n")
problemes = []
page = etapes.get("lire tout depuis le curseur", [])
lien = etapes.get("lire tout depuis le 4e lien", [])
if len(page) < 50:
    problemes.append("la page lue depuis le curseur : %d énoncés" % len(page))
if not (lien and lien[0].startswith("Pour savoir sur quoi cliquer") and page and lien[-1] == page[-1]):
    problemes.append("depuis le lien, la lecture ne va pas du lien à la fin de la page : %d énoncés" % len(lien))
for nom in ("Tab après le dernier lien", "Maj+Tab avant le premier"):
    if not any("document" in d for d in etapes.get(nom, [])):
        problemes.append(nom + " : le focus n'est pas dit")
print("\n".join(l for l in rapport if l.startswith("==")))
for p_ in problemes:
    print("PROBLÈME : " + p_)
print("journal : " + s.log)
sys.exit(1 if problemes else 0)
