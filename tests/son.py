#!/usr/bin/python3
"""The beep of the player's turn, heard from a sound server, under X11 and Wayland.

Starts a PulseAudio server of its own whose only output is a null sink, and
records that sink's monitor with parec. Then, under Xvfb with openbox and
under weston's headless backend, starts the game through its launcher,
presses "Nouvelle partie" and "Distribuer" through the accessibility bus
(there is no pointer or keyboard to drive on a headless Wayland
compositor), and judges the recorded samples: the first deal is led by the
player, so with "Son" ticked a sound must start within a second of the
deal, and with "Son" unticked the sink must stay silent. Last, under Xvfb
with no sound server at all, the deal must ring the X server's bell at
once, with no message box. With a sound server the X bell must stay silent:
one sound per turn, not two. Then under Xvfb with a sound server that
accepts connections and never answers: a bell within a second of each turn
of the player (the deal and the turn after a pass), and none later.

Under X11 each game ends as a player ends it: Alt+F4, then Return on the
question (its default answer is Yes); the program must be gone within a
second of that Return, with status 0. Under weston, which has no keyboard here, the game is
ended with SIGTERM.

Prints one line per case and exits 0 when every case holds, 1 otherwise,
77 when a program it needs is missing.

Usage: son.py LAUNCHER
MERLE_SON_AFFICHAGE: the first X display number tried (70 by default).
"""
import array
import ctypes
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

RATE = 44100            # Hz, one channel, s16le
SEUIL = 1000            # a sample louder than this is a sound (the null sink gives zeros)
ECOUTE = 3.0            # s recorded after the deal
DELAI_MAX = 1.0         # s from the deal to the sound or the bell
SORTIE_MAX = 1.0        # s from the answer to the quit question to the end of the process

PROGRAMMES = ("pulseaudio", "pactl", "parec", "Xvfb", "openbox", "weston", "dbus-run-session", "xdotool")
BUS = "/usr/libexec/at-spi-bus-launcher"


def needs():
    missing = [p for p in PROGRAMMES if not shutil.which(p)]
    if not os.path.exists(BUS):
        missing.append(BUS)
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi  # noqa: F401
    except (ImportError, ValueError):
        missing.append("gir1.2-atspi-2.0")
    if missing:
        print("absent : " + ", ".join(missing) + " ; test sauté", file=sys.stderr)
        sys.exit(77)


def attendre(condition, delai, pas=0.1):
    fin = time.monotonic() + delai
    while time.monotonic() < fin:
        valeur = condition()
        if valeur:
            return valeur
        time.sleep(pas)
    return None


class Enregistreur:
    """parec on the null sink's monitor, read as it comes: the number of samples
    read so far dates an instant in the recording."""

    def __init__(self, env):
        self.p = subprocess.Popen(["parec", "--latency-msec=20", "-d", "nul.monitor", "--raw",
                                   "--format=s16le", "--rate=%d" % RATE, "--channels=1"],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
        self.donnees = bytearray()
        self.verrou = threading.Lock()
        self.fil = threading.Thread(target=self._lire, daemon=True)
        self.fil.start()
        if not attendre(lambda: self.position() > RATE // 10, 5):
            raise RuntimeError("parec n'enregistre rien")

    def _lire(self):
        while True:
            bloc = self.p.stdout.read1(65536)
            if not bloc:
                return
            with self.verrou:
                self.donnees += bloc

    def position(self):
        with self.verrou:
            return len(self.donnees) // 2

    def echantillons(self, depuis):
        with self.verrou:
            brut = bytes(self.donnees[2 * depuis:len(self.donnees) // 2 * 2])
        return array.array("h", brut)

    def arreter(self):
        self.p.terminate()
        self.p.wait(5)


class Cloche:
    """The X server's bell, seen through XKB's bell notifications."""

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        self.x.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("pas de connexion au serveur X " + display)
        op, ev, err = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        majeur, mineur = ctypes.c_int(1), ctypes.c_int(0)
        if not self.x.XkbQueryExtension(self.dpy, op, ev, err, majeur, mineur):
            raise RuntimeError("le serveur X n'a pas XKB")
        self.base = ev.value
        use_core_kbd, bell_notify_mask = 0x100, 1 << 8
        self.x.XkbSelectEvents(self.dpy, use_core_kbd, bell_notify_mask, bell_notify_mask)
        self.coups = []
        self.stop = False
        self.fil = threading.Thread(target=self._ecouter, daemon=True)
        self.fil.start()

    def _ecouter(self):
        evenement = ctypes.create_string_buffer(192)
        while not self.stop:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, evenement)
                type_x = int.from_bytes(evenement.raw[0:4], "little")
                type_xkb = int.from_bytes(evenement.raw[40:44], "little")   # XkbAnyEvent.xkb_type
                if type_x == self.base and type_xkb == 8:                     # XkbBellNotify
                    self.coups.append(time.monotonic())
            time.sleep(0.005)

    def fermer(self):
        self.stop = True
        self.fil.join()
        self.x.XCloseDisplay(self.dpy)


class Table:
    """The game's window as the accessibility bus shows it."""

    def __init__(self, pid):
        from gi.repository import Atspi
        self.Atspi = Atspi
        self.app = attendre(lambda: self._application(pid), 30, 0.5)
        if not self.app:
            raise RuntimeError("le jeu n'est jamais apparu sur le bus d'accessibilité")

    def _application(self, pid):
        bureau = self.Atspi.get_desktop(0)
        for i in range(bureau.get_child_count()):
            app = bureau.get_child_at_index(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        return None

    def trouver(self, convient):
        """The first object, depth first, for which convient(object) holds."""
        def parcourir(acc, profondeur):
            if acc is None or profondeur > 12:
                return None
            try:
                if convient(acc):
                    return acc
                for i in range(acc.get_child_count()):
                    trouve = parcourir(acc.get_child_at_index(i), profondeur + 1)
                    if trouve:
                        return trouve
            except Exception:
                return None
            return None
        return parcourir(self.app, 0)

    @staticmethod
    def nomme(acc, nom):
        """acc's name is nom, or starts with it when nom ends with "…"."""
        n = acc.get_name()
        return n.startswith(nom[:-1]) if nom.endswith("…") else n == nom

    def chercher(self, nom, role):
        return self.trouver(lambda a: a.get_role() == role and self.nomme(a, nom))

    def etat(self, acc, s):
        return acc.get_state_set().contains(s)

    def bouton(self, nom, description=None):
        """The push button, once shown and enabled; with a description, the
        first such button that has it (a card of the hand)."""
        def pret():
            return self.trouver(lambda a: a.get_role() == self.Atspi.Role.PUSH_BUTTON
                                and (a.get_description() == description if description else self.nomme(a, nom))
                                and self.utilisable(a))
        b = attendre(pret, 30, 0.3)
        if not b:
            raise RuntimeError("le bouton « %s » n'est jamais devenu utilisable" % (nom or description))
        return b

    def presser(self, acc):
        acc.do_action(0)

    def utilisable(self, acc):
        S = self.Atspi.StateType
        return self.etat(acc, S.SHOWING) and self.etat(acc, S.ENABLED)

    def boites(self):
        """The message boxes open (alerts and dialogs)."""
        roles = (self.Atspi.Role.ALERT, self.Atspi.Role.DIALOG)
        trouvees = []
        for i in range(self.app.get_child_count()):
            w = self.app.get_child_at_index(i)
            if w is not None and w.get_role() in roles:
                trouvees.append(w.get_name())
        return trouvees


class Session:
    def __init__(self, launcher):
        self.launcher = launcher
        self.dir = tempfile.mkdtemp(prefix="merle-son-")
        os.chmod(self.dir, 0o755)
        home = os.path.join(self.dir, "home")
        run = os.path.join(self.dir, "run")
        os.makedirs(home)
        os.makedirs(run, mode=0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        LANG="C.UTF-8", NO_AT_BRIDGE="0",
                        PULSE_SERVER="unix:" + os.path.join(self.dir, "pulse.sock"),
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        for v in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(v, None)
        self.procs = []
        self.prises = []

    def start(self, cmd, env=None):
        p = subprocess.Popen(cmd, env=env or self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(p)
        return p

    def finir(self, p):
        if p.poll() is None:
            try:
                os.killpg(p.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()

    def stop(self):
        for p in reversed(self.procs):
            self.finir(p)
        for s in self.prises:
            s.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def serveur_son(self):
        # Autonomous, no configuration read: a native socket and a null sink.
        self.start(["pulseaudio", "-n", "--daemonize=no", "--system=false", "--disallow-exit",
                    "--exit-idle-time=-1", "--use-pid-file=no",
                    "-L", "module-native-protocol-unix socket=" + self.env["PULSE_SERVER"][5:],
                    "-L", "module-null-sink sink_name=nul"])
        pret = lambda: subprocess.run(["pactl", "info"], env=self.env, capture_output=True).returncode == 0
        if not attendre(pret, 15, 0.2):
            raise RuntimeError("le serveur de son n'a pas démarré")

    def serveur_muet(self):
        """A socket where a sound server would be, which takes every
        connection and never answers; returns its PULSE_SERVER address."""
        chemin = os.path.join(self.dir, "muet.sock")
        ecoute = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        ecoute.bind(chemin)
        ecoute.listen(16)
        self.prises.append(ecoute)

        def accepter():
            while True:
                try:
                    self.prises.append(ecoute.accept()[0])
                except OSError:
                    return
        threading.Thread(target=accepter, daemon=True).start()
        return "unix:" + chemin

    def fermer(self, jeu, env, table):
        """Ends the game as a player does: Alt+F4 on the table, then Return on
        the question, whose default answer is Yes. Returns the seconds from
        that Return to the end of the process, None when it outlives 5 s,
        and its exit status (a sanitizer's report at exit makes it non-zero)."""
        xdo = lambda *a: subprocess.run(["xdotool"] + list(a), env=env, capture_output=True, text=True)
        fenetres = xdo("search", "--onlyvisible", "--pid", str(jeu.pid), "--name", "^Merle Vert$").stdout.split()
        if not fenetres:
            raise RuntimeError("pas de fenêtre « Merle Vert » à fermer")
        xdo("windowactivate", "--sync", fenetres[0])
        xdo("key", "alt+F4")
        if not attendre(table.boites, 10):
            raise RuntimeError("Alt+F4 n'a pas posé la question « quitter »")
        time.sleep(0.5)
        t0 = time.monotonic()
        xdo("key", "Return")
        try:
            jeu.wait(5)
        except subprocess.TimeoutExpired:
            return None, None
        return time.monotonic() - t0, jeu.returncode

    def x11(self):
        n = int(os.environ.get("MERLE_SON_AFFICHAGE", "70"))   # the first display number tried
        while os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
            n += 1
        self.start(["Xvfb", ":%d" % n, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"])
        if not attendre(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 10):
            raise RuntimeError("Xvfb n'a pas démarré")
        env = dict(self.env, DISPLAY=":%d" % n, QT_QPA_PLATFORM="xcb")
        self.start(["openbox"], env)
        return env

    def wayland(self):
        socket = "merle-son-wayland"
        self.start(["weston", "--backend=headless-backend.so", "--socket=" + socket,
                    "--idle-time=0", "--no-config", "--width=1280", "--height=1024"])
        chemin = os.path.join(self.env["XDG_RUNTIME_DIR"], socket)
        if not attendre(lambda: os.path.exists(chemin), 10):
            raise RuntimeError("weston n'a pas démarré")
        return dict(self.env, WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland")

    def donne(self, env, son_coche, enregistreur=None, cloche=None, passer=False):
        """One game dealt, then with passer the hand's first card laid and a
        pass. Returns, in seconds from the deal: the sound (None when
        silent), the start of each of the player's turns, each X bell until
        the program ended; then the boxes that were open, and under X11 the
        seconds the program took to end once closed (None when it outlived
        5 s) with its exit status."""
        jeu = self.start([self.launcher], env)
        try:
            table = Table(jeu.pid)
            table.presser(table.bouton("Nouvelle partie"))
            distribuer = table.bouton("Distribuer")
            if not son_coche:
                case = table.chercher("Son", table.Atspi.Role.CHECK_BOX)
                table.presser(case)
                if not attendre(lambda: not table.etat(case, table.Atspi.StateType.CHECKED), 5):
                    raise RuntimeError("la case « Son » est restée cochée")
            time.sleep(0.5)
            debut = enregistreur.position() if enregistreur else 0
            t0 = time.monotonic()
            table.presser(distribuer)
            # The deal runs in one go and disables its button: the player's
            # turn begins when the program answers again.
            if not attendre(lambda: not table.utilisable(distribuer), 5, 0.02):
                raise RuntimeError("« Distribuer » n'a rien fait")
            tours = [time.monotonic() - t0]
            if passer:
                time.sleep(DELAI_MAX)
                table.presser(table.bouton(None, "Carte de votre main"))
                passe = table.bouton("Sans …")
                legende = passe.get_name()
                table.presser(passe)
                # The computer seats play, the pass button disabled meanwhile;
                # the turn is back once it is enabled again. When no seat can
                # follow, the turn comes back at once, too fast to be seen, but
                # the rank is then skipped and the button names the next one.
                def passee():
                    passe.clear_cache()
                    return not table.utilisable(passe) or passe.get_name() != legende
                if not attendre(passee, 5, 0.02):
                    raise RuntimeError("le bouton de passe n'a rien fait")
                if not attendre(lambda: table.utilisable(passe), 60, 0.02):
                    raise RuntimeError("le tour n'est pas revenu au joueur")
                tours.append(time.monotonic() - t0)
            time.sleep(ECOUTE)
            son = None
            if enregistreur:
                for i, v in enumerate(enregistreur.echantillons(debut)):
                    if abs(v) > SEUIL:
                        son = i / RATE
                        break
            boites = table.boites()
            if jeu.poll() is not None:
                raise RuntimeError("le jeu s'est arrêté (code %d)" % jeu.returncode)
            # Weston runs here with no keyboard: there, the game gets SIGTERM.
            sortie = self.fermer(jeu, env, table) if "DISPLAY" in env else (None, None)
            coups = [t - t0 for t in cloche.coups if t >= t0] if cloche else []
            return son, tours, coups, boites, sortie
        finally:
            self.finir(jeu)


def juger_cloches(tours, coups):
    """One X bell for each of the player's turns, within DELAI_MAX of its
    start, and no other; returns (holds, detail)."""
    restants, vus = list(coups), []
    for t in tours:
        # The start of a turn is seen by polling, a little after it came.
        a_temps = [c for c in restants if t - 0.2 <= c <= t + DELAI_MAX]
        if a_temps:
            restants.remove(a_temps[0])
            vus.append("%.3f s" % (a_temps[0] - t))
        else:
            vus.append("aucune")
    detail = "cloche X par tour : " + ", ".join(vus)
    if restants:
        detail += ", hors de leur tour : " + ", ".join("%.1f s" % c for c in restants)
    return "aucune" not in vus and not restants, detail


def juger_sortie(reussi, detail, sortie):
    """Adds the time the program took to end once closed, and its status."""
    duree, code = sortie
    if duree is None:
        return False, detail + ", encore là 5 s après la fermeture"
    detail += ", fin %.2f s après la fermeture" % duree
    if code != 0:
        detail += " (code %d)" % code
    return reussi and duree <= SORTIE_MAX and code == 0, detail


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    launcher = os.path.abspath(sys.argv[1])
    needs()
    if "MERLE_SON_SESSION" not in os.environ:
        # Everything runs in a D-Bus session of its own, with its accessibility bus.
        env = dict(os.environ, MERLE_SON_SESSION="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, launcher], env=env)

    session = Session(launcher)
    echecs = 0

    def cas(nom, reussi, detail):
        nonlocal echecs
        echecs += not reussi
        print("%-34s %s  %s" % (nom, "ok   " if reussi else "ÉCHEC", detail), flush=True)

    try:
        session.start([BUS, "--launch-immediately"])
        session.serveur_son()
        enregistreur = Enregistreur(session.env)
        try:
            for affichage, ouvrir in (("X11", session.x11), ("Wayland", session.wayland)):
                env = ouvrir()
                cloche = Cloche(env["DISPLAY"]) if affichage == "X11" else None
                try:
                    for coche in (True, False):
                        nom = "%s, « Son » %s" % (affichage, "coché" if coche else "décoché")
                        try:
                            son, _, coups, boites, sortie = session.donne(env, coche, enregistreur, cloche)
                        except RuntimeError as e:
                            cas(nom, False, str(e))
                            continue
                        if coche:
                            reussi = son is not None and son <= DELAI_MAX and not coups
                        else:
                            reussi = son is None and not coups
                        detail = ("son %.3f s après la donne" % son) if son is not None else "silence"
                        if coups:
                            detail += ", cloche X aussi"
                        if cloche:
                            reussi, detail = juger_sortie(reussi, detail, sortie)
                        cas(nom, reussi and not boites, detail + (", boîte : %s" % boites if boites else ""))
                finally:
                    if cloche:
                        cloche.fermer()
        finally:
            enregistreur.arreter()

        # No sound server, then one that never answers: the X server's bell
        # for each turn, at once, no late one, and no box.
        x11 = session.x11()
        cloche = Cloche(x11["DISPLAY"])
        try:
            for nom, serveur, passer in (
                    ("X11, sans serveur de son", "unix:" + os.path.join(session.dir, "absent.sock"), False),
                    ("X11, serveur de son muet", session.serveur_muet(), True)):
                try:
                    _, tours, coups, boites, sortie = session.donne(dict(x11, PULSE_SERVER=serveur), True,
                                                                    cloche=cloche, passer=passer)
                except RuntimeError as e:
                    cas(nom, False, str(e))
                    continue
                reussi, detail = juger_cloches(tours, coups)
                reussi, detail = juger_sortie(reussi, detail, sortie)
                cas(nom, reussi and not boites, detail + (", boîte : %s" % boites if boites else ""))
        finally:
            cloche.fermer()
    except RuntimeError as e:
        cas("mise en place", False, str(e))
    finally:
        session.stop()
    return 1 if echecs else 0


if __name__ == "__main__":
    sys.exit(main())
