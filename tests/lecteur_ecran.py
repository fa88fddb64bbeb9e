#!/usr/bin/env python3
"""A whole game heard through Debian's screen reader, Orca, with the keyboard alone.

Starts a virtual X server, a D-Bus session with the accessibility bus, Orca
with its debug log, and the game through its launcher in a fresh HOME. Plays
by keys only: Enter on "Nouvelle partie", Enter on "Distribuer", Tab to the
hand, Space to lay the framed card while it is valid, Enter to close the box
of a card that is not and to pass, until the round ends; T to read the table;
a save and a load through the file dialog; a new game refused; a missing
file; the saved game with its last seat short of the stake, whose deal ends
the game; the record's name typed; the best score; the rules read in the
help window with Down and Tab. Checks from Orca's log what a blind player
heard, and what a deafblind one read on the braille line (Orca writes both
to its log, with or without a braille display):

  - every card the seats laid (as many as each seat's count went down),
    every pot they took, each return of the turn, each of the player's
    cards, and the table read on demand;
  - that no message of ours began before the previous one could be heard at
    Orca's default rate (about 16 characters a second);
  - that each window and box was heard as it opened, and a control of the
    table (the next step where there is one) after it closed;
  - that Down read the lines of the rules, and Tab their links;
  - that "Dernier tour" was said once a round, no message of ours twice in a
    row, and none after the word "notification";
  - that each message of ours reached the braille line with its whole
    text, and that each window, focus and line heard above was also
    brailled.

Writes the transcripts (Orca's speech, and its braille lines, one line each,
with its time) to the file given and to the same name ending in
"-braille", and exits 0 when every check holds, 1 otherwise, 77 when the
screen reader or the X server is missing. The X displays tried start at
MERLE_ECRAN (default 90).

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
# the file late: it is started with its log file line-buffered. And Orca
# looks for any other Orca of the same user, to refuse to start beside it or,
# with --replace, to kill it: ours has an X display and a D-Bus session of
# its own, so it neither sees nor touches the player's own screen reader.
# Speech stays on with no speech server: what Orca would say goes to its log
# alone (with speech off, Orca 48 logs no message it presents).
ORCA = """
import builtins, runpy, subprocess, sys
lancer = subprocess.Popen
def sans_autre_orca(cmd, *a, **k):
    if isinstance(cmd, str) and cmd.startswith("pgrep ") and cmd.endswith(" orca"):
        cmd = "true"
    return lancer(cmd, *a, **k)
subprocess.Popen = sans_autre_orca
ouvrir = builtins.open
def ouvrir_ligne(f, mode="r", *a, **k):
    if f == sys.argv[-1] and "w" in mode:
        return ouvrir(f, mode, 1, encoding="utf-8")
    return ouvrir(f, mode, *a, **k)
builtins.open = ouvrir_ligne
import importlib.util
class SansVoix:
    # orca.speech, loaded as Orca imports it, with no speech server.
    def find_spec(self, name, path, target=None):
        if name != "orca.speech":
            return None
        sys.meta_path.remove(self)
        trouve = importlib.util.find_spec(name)
        charger = trouve.loader.exec_module
        def charger_sans_voix(module):
            charger(module)
            module.init = lambda: None
        trouve.loader.exec_module = charger_sans_voix
        return trouve
sys.meta_path.insert(0, SansVoix())
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""

SIEGES = ["Vous", "Je", "KORBANIGUE", "Orvane BELTRUCQ"]
# A push button's role, as Orca 43 says it and as Orca 48 does.
BOUTON = r"(?:push )?button"

# The window manager's command: openbox, or the one MERLE_WM names (for
# example kwin_x11, "mutter --x11", marco, xfwm4), since each hands the
# keyboard from window to window in its own way.
WM = os.environ.get("MERLE_WM", "openbox").split()


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

    def start(self, cmd, stderr=subprocess.DEVNULL, **kw):
        p = subprocess.Popen(cmd, env=self.env, stdout=subprocess.DEVNULL, stderr=stderr, **kw)
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


def journal(log, motif):
    """The lines of Orca's log that match motif, as (time in seconds, text)."""
    lines = []
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"(\d\d):(\d\d):(\d\d\.\d+) - " + motif, line)
                if m:
                    t = int(m.group(1)) * 3600 + int(m.group(2)) * 60 + float(m.group(3))
                    lines.append((t, m.group(4)))
    except FileNotFoundError:
        pass
    return lines


def speech(log):
    """Orca's speech, as (time in seconds, text) in the order spoken."""
    return journal(log, r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?\s*(?:\{.*\}|None)?\s*$")


def braille(log):
    """Orca's braille line each time it changed, as (time in seconds, text)."""
    lines = journal(log, r"BRAILLE LINE:  '(.*)'\s*$")
    return [l for i, l in enumerate(lines) if i == 0 or l[1] != lines[i - 1][1]]


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


class Partie:
    """The player's side of the game: keys sent, Orca's speech awaited."""

    def __init__(self, session):
        self.session = session
        self.seen = [0]
        self.problems = []
        self.etapes = []   # (window or box, heard when it opened, focus heard after it closed)
        self.entendus = []  # (what was awaited, when it was heard): to be found in braille too
        self.manches = 0

    def noter(self, motif, said):
        """What was heard is looked for on the braille line too: the same
        words, anchors aside, or the motif given instead."""
        if said is not None:
            self.entendus.append((re.sub(r"(^|\|)\^|\$$", r"\1", motif),
                                  speech(self.session.log)[self.seen[0] - 1][0]))
        return said

    def attendre(self, motif, delai=30, braille=None):
        said = wait_for(self.session, self.seen, lambda t: re.search(motif, t), delai)
        if said is None:
            raise RuntimeError("attendu et pas entendu : " + motif)
        return self.noter(braille or motif, said)

    def entendre(self, motif, delai=10, braille=None):
        """Like attendre, but what is not heard is a problem, and the game goes on."""
        said = wait_for(self.session, self.seen, lambda t: re.search(motif, t), delai)
        if said is None:
            self.problems.append("pas entendu : " + motif)
        return self.noter(braille or motif, said)

    def fenetre(self, nom, ouvrir, motif, fermer, focus=r"[^.]+"):
        """Opens a window or box with the keys given, checks that it is heard,
        closes it and checks that the reader says a control of the table then
        (the one given, or any)."""
        for touche in ouvrir:
            if touche.startswith("alt+"):
                self.alt(touche[4:])
            else:
                self.session.keys(touche, pause=1.5)
        ouverte = self.entendre(motif)
        for touche in fermer:
            if callable(touche):
                touche()
            else:
                self.session.keys(touche, pause=1)
        # The table is active again. Orca 48 may omit "frame", and then
        # brailles only the focused control, which the next line checks.
        self.entendre(r"^Merle Vert( frame|$)", braille=r"^Merle Vert( frame|$)| (%s|check box)$" % BOUTON)
        apres = self.entendre(r"^(%s) (%s|check box)" % (focus, BOUTON))
        self.etapes.append((nom, ouverte, apres))

    def alt(self, lettre, pause=1.5):
        """Alt and a letter, Alt held until the button's click has run: Alt
        released sooner (a button clicks a tenth of a second after its
        letter) would also open the menu bar."""
        self.session.run("xdotool", "keydown", "alt", "key", lettre, "sleep", "0.4", "keyup", "alt")
        time.sleep(pause)

    def taper(self, texte):
        self.session.run("xdotool", "type", "--delay", "40", texte)
        time.sleep(0.5)

    def manche(self):
        """Deals with Enter and plays one round; returns what the round's window said."""
        session, fin = self.session, re.compile(r"GAGNER|Perdu")
        session.keys("Return", pause=0)
        said = self.attendre(r"À vous|GAGNER|Perdu", 120)
        for _ in range(10):                   # Tab on to the hand
            session.keys("Tab", pause=0)
            if wait_for(session, self.seen, lambda t: t.startswith("Carte de votre main"), 3):
                break
        else:
            raise RuntimeError("la main n'a jamais eu le focus")
        turns = 0
        while not fin.search(said):
            turns += 1
            time.sleep(len(said) / RATE)
            while True:
                session.keys("space", pause=0)
                said = self.attendre(r"^Vous posez|La carte n'est pas valide|prenair|GAGNER|Perdu")
                if "prenair" in said:             # the last card took a pot: its box, then the round's window
                    session.keys("Return", pause=0)
                    said = self.attendre(r"GAGNER|Perdu")
                if not said.startswith("Vous posez"):
                    break
            if fin.search(said):
                break
            session.keys("Return")            # closes the box
            self.attendre(r"^Carte de votre main", braille=BOUTON)
            session.keys("Return", pause=0)   # passes
            said = self.attendre(r"À vous|GAGNER|Perdu", 120)
        if turns == 0:
            self.problems.append("le tour n'est jamais revenu au joueur")
        time.sleep(8)
        session.keys("Return", pause=2)       # closes the end-of-round window
        while wait_for(session, self.seen, lambda t: t.startswith("alert"), 3):
            session.keys("Return", pause=2)   # and each penalty box
        apres = self.entendre(r"^Distribuer " + BOUTON)
        self.etapes.append(("fin de manche", said, apres))
        said = self.attendre(r"^Dernier tour : ")  # what the last turn did, once the table is back
        self.manches += 1
        time.sleep(len(said) / RATE + 1)


def play(session):
    """Plays a whole game with the keyboard alone; returns the Partie."""
    p = Partie(session)
    partie = os.path.join(session.dir, "partie")
    try:
        if not wait_for(session, p.seen, lambda t: re.match("Nouvelle partie " + BOUTON, t), 30):
            # The window manager may have missed the first window: activate it.
            for w in session.run("xdotool", "search", "--onlyvisible", "--name", "^Merle Vert$").stdout.split():
                session.run("xdotool", "windowactivate", w)
            if not wait_for(session, p.seen, lambda t: re.match("Nouvelle partie " + BOUTON, t), 30):
                p.problems = [DEMARRAGE]
                return p
        # The X server's first key after the keyboard is set up can be lost.
        session.keys("shift", pause=1)
        session.keys("Return", pause=1.5)     # a new game, without a question: the focus on "Distribuer"
        p.attendre(r"^Distribuer " + BOUTON)
        p.manche()
        session.keys("t")                     # the table, read on demand
        said = p.attendre(r"Cagnottes")
        time.sleep(len(said) / RATE + 1)

        # Saved between two rounds, through the file dialog, then loaded.
        p.fenetre("sauvegarde", ["alt+s"], r"^Save As dialog", [lambda: p.taper(partie), "Return"])
        if not os.path.exists(partie + ".svgMv"):
            p.problems.append("la partie n'a pas été sauvegardée")
            return p
        p.fenetre("chargement", ["alt+c"], r"^Open dialog",
                  [lambda: p.taper(partie + ".svgMv"), "Return"], "Distribuer")
        # Alt+N is also the "Niveau" menu's: it only takes the focus to the button.
        p.fenetre("nouvelle partie refusée", ["alt+n", "Return"], r"Voulez-vraiement mettre les compteurs",
                  ["Escape"], "Nouvelle partie")
        p.fenetre("fichier introuvable", ["alt+c"], r"^Open dialog",
                  [lambda: p.taper(os.path.join(session.dir, "absente.svgMv")), "Return",
                   lambda: p.entendre(r"Fichier introuvable"), "Return"])

        # The same game, Orvane BELTRUCQ left short of the stake: the next deal ends it.
        with open(partie + ".svgMv", "rb") as f:
            lignes = f.read().split(b"\r\n")
        lignes[3] = b"100"
        with open(partie + "-fin.svgMv", "wb") as f:
            f.write(b"\r\n".join(lignes))
        p.fenetre("chargement de la fin", ["alt+c"], r"^Open dialog",
                  [lambda: p.taper(partie + "-fin.svgMv"), "Return"], "Distribuer")
        p.fenetre("fin de partie", ["Return"], r"La partie est fini",
                  [lambda: p.entendre(r"quel est votre nom"), "ctrl+a", lambda: p.taper("Anne Aveugle"),
                   "Tab", "space"], "Nouvelle partie")
        p.fenetre("meilleur score", ["alt+m"], r"Anne Aveugle a fini la partie avec", ["Return"])

        # A help page, read line by line and link by link.
        p.alt("a", pause=1)
        session.keys("r", pause=2)
        ouverte = p.entendre(r"^Aide : Règle du jeu")
        session.keys("Down", pause=1.5)
        p.entendre(r"^Règle du jeu$")
        session.keys("Down", pause=1.5)
        p.entendre(r"^Cette page décrit la règle")
        session.keys("Tab", pause=1.5)
        p.entendre(r"^Sommaire link", braille=r"Sommaire$")   # braille: the line, then the link
        session.keys("alt+F4", pause=1.5)
        apres = p.entendre(BOUTON)
        p.etapes.append(("aide", ouverte, apres))
        p.fenetre("quitter refusé", ["alt+F4"], r"Voulez-vous vraiement quitter", ["Escape"])
    except RuntimeError as e:
        p.problems.append(str(e))
    return p


class Annonce:
    @staticmethod
    def duree(text):
        return len(text) / RATE


def check(lines, manches):
    problems = []
    mine = [(t, s) for t, s in lines if ours(s)]
    for (t0, s0), (t1, s1) in zip(mine, mine[1:]):
        if t1 - t0 < len(s0) / RATE:
            problems.append("« %s » coupé après %.1f s (il en faut %.1f)" % (s0, t1 - t0, len(s0) / RATE))
        if s1 == s0:
            problems.append("« %s » dit deux fois" % s0)
    for (_, s0), (_, s1) in zip(lines, lines[1:]):
        if ours(s1) and re.match(r"(?i)notification\W*$", s0):
            problems.append("« %s » dit après « %s »" % (s1, s0))
    derniers = len([1 for _, s in mine if s.startswith("Dernier tour")])
    if derniers != manches:
        problems.append("« Dernier tour » dit %d fois en %d manches" % (derniers, manches))

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


def check_braille(lines, points, mine):
    """What a deafblind player read: each message of ours on the braille line
    with its whole text, and each point heard (window, focus, line of the
    help) brailled too, within a few seconds. Returns the problems and the
    count of messages brailled whole."""
    problems = []
    def brailled(t, predicate):
        return any(t - 1 <= tb <= t + 3 and predicate(b) for tb, b in lines)
    entiers = 0
    for t, s in mine:
        if brailled(t, lambda b: s in b):
            entiers += 1
        else:
            problems.append("pas en braille : « %s »" % s)
    for motif, t in points:
        if not brailled(t, lambda b: re.search(motif, b)):
            problems.append("pas en braille : " + motif)
    derniers = len([1 for _, b in lines if b.startswith("Dernier tour")])
    if derniers != len([1 for _, s in mine if s.startswith("Dernier tour")]):
        problems.append("« Dernier tour » en braille %d fois" % derniers)
    return problems, entiers


def ecrire(chemin, titre, lines):
    t0 = lines[0][0] if lines else 0
    with open(chemin, "w", encoding="utf-8") as f:
        f.write("# %s (secondes depuis le début)\n" % titre)
        for t, s in lines:
            f.write("%7.2f  %s\n" % (t - t0, s))


def ecouter(launcher):
    """Starts everything, plays the round; returns the session and its problems."""
    workdir = tempfile.mkdtemp(prefix="merle-ecoute-")
    session = Session(launcher, workdir)
    n = int(os.environ.get("MERLE_ECRAN", "90"))   # the first display number tried
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
        # The services D-Bus starts (kwin's shortcuts, Alt+F4) need the display.
        session.run("dbus-update-activation-environment", "DISPLAY")
        session.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        # A window manager, so that each new window is activated as on a
        # desktop and the reader follows the focus into it.
        with open(os.path.join(session.dir, "wm.log"), "w") as journal:
            wm = session.start(WM, stderr=journal)
        time.sleep(1)
        session.start(["/usr/bin/python3", "-c", ORCA, "--debug-file", session.log])
        time.sleep(6)
        if wm.poll() is not None:
            # Marco, for one, stops at once when a settings schema it reads is missing.
            with open(os.path.join(session.dir, "wm.log")) as journal:
                fin = journal.read().strip().splitlines()[-1:] or [""]
            partie = Partie(session)
            partie.problems = ["%s s'est arrêté au démarrage (code %d) : %s" % (WM[0], wm.returncode, fin[0])]
            return session, partie
        # Qt asks the accessibility bus whether a screen reader runs; Orca's
        # flag can come late, so the bridge is switched on from the start.
        session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        session.start([launcher])
        partie = play(session)
    finally:
        session.stop()
    return session, partie


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    launcher, transcript = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    needs("orca", "Xvfb", WM[0], "xdotool", "dbus-run-session")
    if "MERLE_ECOUTE_SESSION" not in os.environ:
        # Everything runs in a D-Bus session of its own.
        env = dict(os.environ, MERLE_ECOUTE_SESSION="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, launcher, transcript],
                               env=env)
    for essai in range(2):
        session, partie = ecouter(launcher)
        problems = partie.problems
        if problems != [DEMARRAGE]:
            break
        print("PROBLÈME : " + DEMARRAGE + " ; nouvel essai", file=sys.stderr)
        shutil.rmtree(session.dir, ignore_errors=True)
    lines = speech(session.log)
    more, laid, takes = check(lines, partie.manches)
    problems += more
    mine = [(t, s) for t, s in lines if ours(s)]
    lignes = braille(session.log)
    more, entiers = check_braille(lignes, partie.entendus, mine)
    problems += more
    ecrire(transcript, "Ce qu'Orca a dit pendant une partie jouée au clavier", lines)
    racine, ext = os.path.splitext(transcript)
    ecrire(racine + "-braille" + ext, "La ligne braille d'Orca pendant la même partie, à chaque changement", lignes)
    for who in SIEGES:
        print("%-16s %d cartes dites" % (who, len(laid[who])))
    print("cagnottes dites : %d ; messages : %d, dont %d en braille en entier"
          % (len(takes), len(mine), entiers))
    for nom, ouverte, apres in partie.etapes:
        print("%-24s ouverte : %s" % (nom, ouverte or "RIEN"))
        print("%-24s fermée, focus : %s" % ("", apres or "RIEN"))
    for p in problems:
        print("PROBLÈME : " + p)
    if problems:
        print("journal d'Orca : " + session.log)
    else:
        shutil.rmtree(session.dir, ignore_errors=True)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
