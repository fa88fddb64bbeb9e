#!/usr/bin/env python3
"""One round heard through Debian's screen reader, Orca, with the keyboard alone.

Starts a virtual X server, a D-Bus session with the accessibility bus, Orca
with its debug log, and the game through its launcher in a fresh HOME. Plays
one round by keys only: Enter on "Nouvelle partie", Tab to "Distribuer" and
Enter to deal, Tab to the hand, Space to lay the framed card while it is
valid, Enter to close the box of a card that is not and to pass. Then reads the table with T, and checks
from Orca's log what a blind player heard:

  - every card the seats laid (as many as each seat's count went down),
    every pot they took, each return of the turn, each of the player's
    cards, and the table read on demand;
  - that no message of ours began before the previous one could be heard at
    Orca's default rate (about 16 characters a second).

Writes the transcript (Orca's speech, one line each, with its time) to the
file given, and exits 0 when every check holds, 1 otherwise, 77 when the
screen reader or the X server is missing.

Usage: lecteur_ecran.py LAUNCHER TRANSCRIPT
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from datetime import datetime

RATE = 16.0  # characters a second, Orca's default rate
# Now and then (2 runs in 25 here) the first window never gets the focus
# under Xvfb, whatever is done: the whole session is then started again.
DEMARRAGE = "la fenêtre du jeu n'a jamais eu le focus"

# Orca writes its debug log through a buffer, so what it said would reach
# the file late: it is started with its log file line-buffered.
ORCA = """
import builtins, runpy, sys
ouvrir = builtins.open
def ouvrir_ligne(f, mode="r", *a, **k):
    if f == sys.argv[-1] and "w" in mode:
        return ouvrir(f, mode, 1, encoding="utf-8")
    return ouvrir(f, mode, *a, **k)
builtins.open = ouvrir_ligne
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""

SIEGES = ["Vous", "Je", "KORBANIGUE", "Orvane BELTRUCQ"]


def needs(*programs):
    missing = [p for p in programs if not shutil.which(p)]
    if missing:
        print("absent : " + ", ".join(missing) + " ; test sauté", file=sys.stderr)
        sys.exit(77)


class Session:
    def __init__(self, launcher, workdir):
        self.launcher = launcher
        self.dir = workdir
        self.log = os.path.join(workdir, "orca.log")
        self.procs = []
        home = os.path.join(workdir, "home")
        run = os.path.join(workdir, "run")
        os.makedirs(home)
        os.makedirs(run, mode=0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        LANG="C.UTF-8", NO_AT_BRIDGE="0")
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("QT_SCALE_FACTOR", None)

    def start(self, cmd, **kw):
        p = subprocess.Popen(cmd, env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def run(self, *cmd):
        return subprocess.run(list(cmd), env=self.env, capture_output=True, text=True)

    def keys(self, *names, pause=0.4):
        for name in names:
            self.run("xdotool", "key", "--clearmodifiers", name)
            time.sleep(pause)

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()


def speech(log):
    """Orca's speech, as (time in seconds, text) in the order spoken."""
    lines = []
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*)'(?: voice=\w+)?\s*(?:\{.*\})?\s*$", line)
                if m:
                    t = int(m.group(1)) * 3600 + int(m.group(2)) * 60 + float(m.group(3))
                    lines.append((t, m.group(4)))
    except FileNotFoundError:
        pass
    return lines


def ours(text):
    return (re.search(r"\b(pose|posez|prend|prenez|prends) ", text) or text.startswith("À vous")
            or " est saut" in text or text.startswith("Sur la zone") or text.startswith("La zone"))


def wait_for(session, seen, predicate, timeout):
    """Waits for a new spoken line that satisfies predicate; returns it or None."""
    end = time.time() + timeout
    while time.time() < end:
        lines = speech(session.log)
        for i in range(seen[0], len(lines)):
            if predicate(lines[i][1]):
                seen[0] = i + 1
                return lines[i][1]
        time.sleep(0.2)
    return None


def play(session):
    """Plays one round; returns the problems met on the way."""
    problems = []
    seen = [0]
    fin = re.compile(r"GAGNER|Perdu")

    def attendre(motif, delai=30):
        said = wait_for(session, seen, lambda t: re.search(motif, t), delai)
        if said is None:
            raise RuntimeError("attendu et pas entendu : " + motif)
        return said

    try:
        if not wait_for(session, seen, lambda t: t.startswith("Nouvelle partie push button"), 30):
            # The window manager may have missed the first window: activate it.
            for w in session.run("xdotool", "search", "--onlyvisible", "--name", "^Merle Vert$").stdout.split():
                session.run("xdotool", "windowactivate", w)
            if not wait_for(session, seen, lambda t: t.startswith("Nouvelle partie push button"), 30):
                return [DEMARRAGE]
        # The X server's first key after the keyboard is set up can be lost.
        session.keys("shift", pause=1)
        session.keys("Return", pause=1.5)     # a new game, without a question
        for _ in range(3):                    # Tab to "Distribuer", Enter deals
            session.keys("Tab")
        attendre(r"^Distribuer push button")
        session.keys("Return", pause=0)
        said = attendre(r"À vous|GAGNER|Perdu", 120)
        for _ in range(10):                   # Tab on to the hand
            session.keys("Tab", pause=0)
            if wait_for(session, seen, lambda t: t.startswith("Carte de votre main"), 3):
                break
        else:
            raise RuntimeError("la main n'a jamais eu le focus")
        turns = 0
        while not fin.search(said):
            turns += 1
            time.sleep(len(said) / RATE)
            while True:
                session.keys("space", pause=0)
                said = attendre(r"^Vous posez|La carte n'est pas valide|prenair|GAGNER|Perdu")
                if "prenair" in said:             # the last card took a pot: its box, then the round's window
                    session.keys("Return", pause=0)
                    said = attendre(r"GAGNER|Perdu")
                if not said.startswith("Vous posez"):
                    break
            if fin.search(said):
                break
            session.keys("Return")            # closes the box
            attendre(r"^Carte de votre main")
            session.keys("Return", pause=0)   # passes
            said = attendre(r"À vous|GAGNER|Perdu", 120)
        if turns == 0:
            problems.append("le tour n'est jamais revenu au joueur")
        time.sleep(8)
        session.keys("Return", pause=2)       # closes the end-of-round window
        while wait_for(session, seen, lambda t: t.startswith("alert"), 3):
            session.keys("Return", pause=2)   # and each penalty box
        said = attendre(r"^Dernier tour : ")  # what the last turn did, once the table is back
        time.sleep(len(said) / RATE + 1)
        session.keys("t")
        attendre(r"Cagnottes")
        time.sleep(8)
    except RuntimeError as e:
        problems.append(str(e))
    return problems


class Annonce:
    @staticmethod
    def duree(text):
        return len(text) / RATE


def check(lines):
    problems = []
    mine = [(t, s) for t, s in lines if ours(s)]
    for (t0, s0), (t1, _) in zip(mine, mine[1:]):
        if t1 - t0 < len(s0) / RATE:
            problems.append("« %s » coupé après %.1f s (il en faut %.1f)" % (s0, t1 - t0, len(s0) / RATE))

    # Every card spoken as laid, by seat.
    laid = {s: [] for s in SIEGES}
    takes = []
    for _, s in mine:
        for sentence in re.split(r"\. ", s.rstrip(".").replace("Dernier tour : ", "")):
            m = re.match(r"(Vous|Je|KORBANIGUE|Orvane BELTRUCQ) (?:posez|pose) (.*)", sentence)
            if not m:
                continue
            who = m.group(1)
            for part in re.split(r", ", m.group(2)):
                part = re.sub(r"^puis (?:posez|pose) ", "", part)
                if re.match(r"(prend|prends|prenez) la cagnotte", part):
                    takes.append((who, part))
                elif re.match(r"(le|la|l')", part):
                    laid[who].append(part)
    table = [s for _, s in lines if s.startswith(("Sur la zone", "La zone"))]
    if not table:
        problems.append("la table n'a pas été lue")
        return problems, laid, takes
    counts = dict(re.findall(r"(Vous|Moi|KORBANIGUE|Orvane BELTRUCQ) (\d+)",
                             table[-1].split("Cartes restantes : ")[-1]))
    if "Cartes restantes" not in table[-1]:
        problems.append("la table lue ne donne pas les cartes restantes")
    for who, name in zip(SIEGES, ["Vous", "Moi", "KORBANIGUE", "Orvane BELTRUCQ"]):
        expected = 12 - int(counts.get(name, -1))
        if len(laid[who]) != expected:
            problems.append("%s : %d cartes dites, %d posées" % (name, len(laid[who]), expected))
    allcards = sum(laid.values(), [])
    if len(set(allcards)) != len(allcards):
        problems.append("une carte dite deux fois")
    takers = {"le 7 de carreau", "le 10 de carreau", "le valet de trèfle", "le roi de cœur", "la dame de pique"}
    for who in SIEGES[1:]:
        for card in laid[who]:
            sans_article = re.sub(r"^(le|la) ", "", card)
            if card in takers and not any(w == who and p.endswith(" " + sans_article) for w, p in takes):
                problems.append("%s a posé %s sans qu'on dise la cagnotte prise" % (who, card))
    return problems, laid, takes


def ecouter(launcher):
    """Starts everything, plays the round; returns the session and its problems."""
    workdir = tempfile.mkdtemp(prefix="merle-ecoute-")
    session = Session(launcher, workdir)
    n = 90
    while os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
        n += 1
    display = ":%d" % n
    session.env["DISPLAY"] = display
    problems = []
    try:
        session.start(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"])
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % n):
                break
            time.sleep(0.1)
        session.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        # A window manager, so that each new window is activated as on a
        # desktop and the reader follows the focus into it.
        session.start(["openbox"])
        time.sleep(1)
        # Speech itself is off: what Orca would say is in its log, and no
        # sound device or speech server is needed.
        session.start(["/usr/bin/python3", "-c", ORCA, "--replace", "--disable", "speech",
                       "--debug-file", session.log])
        time.sleep(6)
        # Qt asks the accessibility bus whether a screen reader runs; Orca's
        # flag can come late, so the bridge is switched on from the start.
        session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        session.start([launcher])
        problems = play(session)
    finally:
        session.stop()
    return session, problems


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    launcher, transcript = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    needs("orca", "Xvfb", "openbox", "xdotool", "dbus-run-session")
    if "MERLE_ECOUTE_SESSION" not in os.environ:
        # Everything runs in a D-Bus session of its own.
        env = dict(os.environ, MERLE_ECOUTE_SESSION="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, launcher, transcript],
                               env=env)
    for essai in range(2):
        session, problems = ecouter(launcher)
        if problems != [DEMARRAGE]:
            break
        print("PROBLÈME : " + DEMARRAGE + " ; nouvel essai", file=sys.stderr)
        shutil.rmtree(session.dir, ignore_errors=True)
    lines = speech(session.log)
    more, laid, takes = check(lines)
    problems += more
    t0 = lines[0][0] if lines else 0
    with open(transcript, "w", encoding="utf-8") as f:
        f.write("# Ce qu'Orca a dit pendant une manche jouée au clavier (secondes depuis le début)\n")
        for t, s in lines:
            f.write("%7.2f  %s\n" % (t - t0, s))
    for who in SIEGES:
        print("%-16s %d cartes dites" % (who, len(laid[who])))
    print("cagnottes dites : %d ; messages : %d" % (len(takes), len([1 for _, s in lines if ours(s)])))
    for p in problems:
        print("PROBLÈME : " + p)
    if problems:
        print("journal d'Orca : " + session.log)
    else:
        shutil.rmtree(session.dir, ignore_errors=True)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
