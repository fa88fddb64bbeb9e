// The benchmark's X client. It starts the program itself (fork, then exec in
// the child, which notes the exec time), watches from outside through the X
// server: maps of the program's windows (CreateNotify on the root, then
// StructureNotify on each new window, so that it works with a window manager
// that reparents), damage of its windows (XDamage) and grabs of the screen
// (GetImage on the root), and reads /proc for memory, CPU and wake-ups.
// Input is sent with xdotool. Results are printed as "key=value" lines.
//
//   banc_sonde demarrage --dossier DIR [--donner] -- PROGRAM
//   banc_sonde pauses --dossier DIR --faces FILE --cartes N [--journal FILE] -- PROGRAM
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "mesures.h"

using namespace banc;

namespace {

[[noreturn]] void echouer(const std::string &message)
{
    std::fprintf(stderr, "banc_sonde: %s\n", message.c_str());
    std::exit(2);
}

double maintenant()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

std::string lireFichier(const std::string &chemin)
{
    std::ifstream f(chemin);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// ---------------------------------------------------------------- /proc --

long long ticksParSeconde()
{
    static const long long hz = sysconf(_SC_CLK_TCK);
    return hz;
}

double cpuMs(pid_t pid)
{
    const auto t = ticksCpu(lireFichier("/proc/" + std::to_string(pid) + "/stat"));
    return t ? double(*t) * 1000.0 / double(ticksParSeconde()) : -1;
}

long long reveils(pid_t pid)
{
    const std::string dossier = "/proc/" + std::to_string(pid) + "/task";
    DIR *d = opendir(dossier.c_str());
    if (!d)
        return -1;
    long long total = 0;
    while (dirent *e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        const auto n = changementsDeContexte(lireFichier(dossier + "/" + e->d_name + "/status"));
        if (n)
            total += *n;
    }
    closedir(d);
    return total;
}

// ------------------------------------------------------------------- X --

struct Fenetre {
    xcb_window_t id = 0;
    std::string titre;
    int largeur = 0, hauteur = 0;
    double carte = 0;   // time of its MapNotify
    double retrait = 0; // time of its UnmapNotify or DestroyNotify, 0 while mapped
};

class ClientX {
public:
    ClientX()
    {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c))
            echouer("no X display");
        racine = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t masque = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, racine, XCB_CW_EVENT_MASK, &masque);
        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_damage_id);
        if (!ext || !ext->present)
            echouer("the X server has no DAMAGE extension");
        evDamage = ext->first_event;
        auto *v = xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr);
        free(v);
        pidAtome = atome("_NET_WM_PID");
        nomAtome = atome("_NET_WM_NAME");
        utf8 = atome("UTF8_STRING");
        xcb_flush(c);
    }
    ~ClientX() { xcb_disconnect(c); }

    xcb_atom_t atome(const char *nom)
    {
        auto *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(nom)), nom), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }

    long pidDe(xcb_window_t w)
    {
        auto *r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtome, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        long p = -1;
        if (r && xcb_get_property_value_length(r) == 4)
            p = *static_cast<uint32_t *>(xcb_get_property_value(r));
        free(r);
        return p;
    }

    std::string titreDe(xcb_window_t w)
    {
        const std::pair<xcb_atom_t, xcb_atom_t> proprietes[] = {{nomAtome, utf8}, {XCB_ATOM_WM_NAME, XCB_ATOM_STRING}};
        for (auto [prop, type] : proprietes) {
            auto *r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 256), nullptr);
            std::string t;
            if (r)
                t.assign(static_cast<char *>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
            free(r);
            if (!t.empty())
                return t;
        }
        return {};
    }

    // Position on the screen and size of a window.
    bool geometrie(xcb_window_t w, int &x, int &y, int &l, int &h)
    {
        auto *g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
        if (!g)
            return false;
        l = g->width;
        h = g->height;
        free(g);
        auto *t = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, racine, 0, 0), nullptr);
        if (!t)
            return false;
        x = t->dst_x;
        y = t->dst_y;
        free(t);
        return true;
    }

    // A grab of the screen, RGB.
    Image saisir(int x, int y, int l, int h)
    {
        Image im;
        auto *r = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, racine, int16_t(x), int16_t(y), uint16_t(l), uint16_t(h), ~0u),
            nullptr);
        if (!r)
            return im;
        const uint8_t *p = xcb_get_image_data(r);
        const int n = xcb_get_image_data_length(r);
        if (n >= l * h * 4) {   // depth 24 in 32 bits, B G R x
            im.largeur = l;
            im.hauteur = h;
            im.rgb.resize(size_t(l) * h * 3);
            for (int i = 0; i < l * h; ++i) {
                im.rgb[size_t(i) * 3] = p[i * 4 + 2];
                im.rgb[size_t(i) * 3 + 1] = p[i * 4 + 1];
                im.rgb[size_t(i) * 3 + 2] = p[i * 4];
            }
        }
        free(r);
        return im;
    }

    void suivreDommages(xcb_window_t w)
    {
        const xcb_damage_damage_t d = xcb_generate_id(c);
        xcb_damage_create(c, d, w, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(c);
    }

    xcb_connection_t *c;
    xcb_window_t racine;
    uint8_t evDamage = 0;
    xcb_atom_t pidAtome, nomAtome, utf8;
};

// What the client has seen of the program so far.
struct Observation {
    pid_t pid = -1;
    std::vector<Fenetre> cartes;                 // mapped windows of the program, in order
    std::set<xcb_window_t> suivies;
    struct Dommage {
        double t;
        xcb_window_t w;
        int x, y, l, h;                          // in the window
    };
    std::vector<Dommage> dommages;
};

// Handles the events queued or arriving until `jusqua` (ms, monotonic), or
// until `arret` returns true after an event.
void pomper(ClientX &x, Observation &o, double jusqua, const std::function<bool()> &arret = {})
{
    pollfd pf{xcb_get_file_descriptor(x.c), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *e = xcb_poll_for_event(x.c)) {
            const double t = maintenant();
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                auto *ce = reinterpret_cast<xcb_create_notify_event_t *>(e);
                const uint32_t masque = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(x.c, ce->window, XCB_CW_EVENT_MASK, &masque);
                xcb_flush(x.c);
            } else if (type == XCB_MAP_NOTIFY) {
                auto *me = reinterpret_cast<xcb_map_notify_event_t *>(e);
                if (!o.suivies.count(me->window) && x.pidDe(me->window) == o.pid) {
                    Fenetre f;
                    f.id = me->window;
                    f.carte = t;
                    f.titre = x.titreDe(me->window);
                    int px, py;
                    x.geometrie(me->window, px, py, f.largeur, f.hauteur);
                    o.cartes.push_back(f);
                    o.suivies.insert(me->window);
                    x.suivreDommages(me->window);
                }
            } else if (type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY) {
                const xcb_window_t w = type == XCB_UNMAP_NOTIFY
                    ? reinterpret_cast<xcb_unmap_notify_event_t *>(e)->window
                    : reinterpret_cast<xcb_destroy_notify_event_t *>(e)->window;
                if (o.suivies.erase(w))
                    for (auto &f : o.cartes)
                        if (f.id == w && f.retrait == 0)
                            f.retrait = t;
            } else if (type == x.evDamage + XCB_DAMAGE_NOTIFY) {
                auto *de = reinterpret_cast<xcb_damage_notify_event_t *>(e);
                o.dommages.push_back({t, de->drawable, de->area.x, de->area.y, de->area.width, de->area.height});
            }
            free(e);
            if (arret && arret())
                return;
        }
        if (xcb_connection_has_error(x.c))
            echouer("X connection lost");
        const double reste = jusqua - maintenant();
        if (reste <= 0)
            return;
        pf.revents = 0;
        poll(&pf, 1, int(std::ceil(std::min(reste, 50.0))));
    }
}

// Starts the program in `dossier`; `t0` receives the time just before exec.
pid_t lancer(const std::vector<std::string> &commande, const std::string &dossier, double &t0)
{
    int tube[2];
    if (pipe(tube) != 0)
        echouer("pipe");
    const pid_t pid = fork();
    if (pid < 0)
        echouer("fork");
    if (pid == 0) {
        close(tube[0]);
        if (chdir(dossier.c_str()) != 0)
            _exit(126);
        const int nul = open("/dev/null", O_WRONLY);
        if (nul >= 0) {
            dup2(nul, 1);
            dup2(nul, 2);
        }
        std::vector<char *> argv;
        for (const auto &a : commande)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        const double t = maintenant();
        if (write(tube[1], &t, sizeof t) != sizeof t)
            _exit(126);
        close(tube[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(tube[1]);
    if (read(tube[0], &t0, sizeof t0) != sizeof t0)
        echouer("the child did not start");
    close(tube[0]);
    return pid;
}

void arreter(pid_t pid)
{
    kill(pid, SIGKILL);
    int statut = 0;
    waitpid(pid, &statut, 0);
}

pid_t xdotoolSansAttendre(const std::vector<std::string> &args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char *> argv{const_cast<char *>("xdotool")};
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execvp("xdotool", argv.data());
        _exit(127);
    }
    return pid;
}

int xdotool(const std::vector<std::string> &args)
{
    const pid_t pid = xdotoolSansAttendre(args);
    int statut = 0;
    waitpid(pid, &statut, 0);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

void cliquer(int x, int y)
{
    xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

const Fenetre *trouver(const Observation &o, const std::function<bool(const Fenetre &)> &critere)
{
    for (const auto &f : o.cartes)
        if (critere(f))
            return &f;
    return nullptr;
}

bool estSplash(const Fenetre &f) { return f.largeur == 514 && f.hauteur == 250; }

// Waits until the table can be used: its window mapped and the splash, if
// any was shown, gone (the table may be on screen behind it); returns that
// moment.
double attendreTable(ClientX &x, Observation &o, double limite)
{
    auto pret = [&]() {
        const Fenetre *principale = trouver(o, [](const Fenetre &f) { return !estSplash(f) && f.largeur > 300; });
        const Fenetre *splash = trouver(o, estSplash);
        return principale && (!splash || splash->retrait > 0);
    };
    pomper(x, o, limite, pret);
    const Fenetre *splash = trouver(o, estSplash);
    const Fenetre *principale = trouver(o, [](const Fenetre &f) { return !estSplash(f) && f.largeur > 300; });
    if (!principale)
        return -1;
    return std::max(principale->carte, splash ? splash->retrait : 0.0);
}

// The table's layout seen on the screen: where Panel1 lies. It is found in
// the pixels, not assumed: below the menu bar (#95FF95) and the window's
// green (#55AA00), on the column through the middle of the window.
struct Table {
    int x = 0, y = 0;   // Panel1's top-left corner on the screen
    bool trouvee = false;
};

bool couleur(const Image &im, int x, int y, int r, int g, int b)
{
    const size_t i = (size_t(y) * im.largeur + x) * 3;
    return im.rgb[i] == r && im.rgb[i + 1] == g && im.rgb[i + 2] == b;
}

Table localiserTable(ClientX &x, xcb_window_t w)
{
    Table t;
    int fx, fy, l, h;
    if (!x.geometrie(w, fx, fy, l, h))
        return t;
    const Image im = x.saisir(fx, fy, l, h);
    if (im.largeur != l)
        return t;
    const int milieu = l / 2;
    int y = 0;
    while (y < h && !couleur(im, milieu, y, 85, 170, 0))
        ++y;
    while (y < h && couleur(im, milieu, y, 85, 170, 0))
        ++y;
    if (y >= h - 10)
        return t;
    const int ligne = y + 100;
    int xg = 0;
    while (xg < l && couleur(im, xg, ligne, 85, 170, 0))
        ++xg;
    if (xg >= l)
        return t;
    t.x = fx + xg;
    t.y = fy + y;
    t.trouvee = true;
    return t;
}

// Placed relative to Panel1, as the table lays them out: the play zone, and
// the middle of "Nouvelle partie", "Distribuer" and the pass button.
constexpr int zoneX = 616 + 9, zoneY = 320 + 21, zoneL = 72, zoneH = 108;
constexpr int bouton1X = 448 + 72, bouton1Y = 296 + 12;
constexpr int bouton2X = 448 + 72, bouton2Y = 420 + 12;
constexpr int bouton4X = 448 + 72, bouton4Y = 450 + 12;
constexpr int bouton4L = 145, bouton4H = 25;
constexpr int bouton5X = 448 + 72, bouton5Y = 480 + 12;
// A point on the visible left strip of hand image k (0..11).
inline int mainX(int k) { return 9 + 32 * k + 14; }
constexpr int mainY = 445 + 35;

std::string valeur(double v) { char b[64]; std::snprintf(b, sizeof b, "%.3f", v); return b; }

// ------------------------------------------------------------ start-up --

int demarrage(const std::vector<std::string> &commande, const std::string &dossier, bool donner, bool boite)
{
    ClientX x;
    Observation o;
    double t0 = 0;
    o.pid = lancer(commande, dossier, t0);
    const double limite = t0 + 20000;

    // The first window of the program, then its main window (not the splash).
    auto principale = [&]() { return trouver(o, [](const Fenetre &f) { return !estSplash(f) && f.largeur > 300; }); };
    // CPU spent inside the splash's pause: from 200 ms after the splash is
    // mapped to 1900 ms after, the program should only sleep.
    pomper(x, o, limite, [&] { return !o.cartes.empty(); });
    if (const Fenetre *splash = trouver(o, estSplash)) {
        const double tSplash = splash->carte;
        const xcb_window_t idSplash = splash->id;
        pomper(x, o, tSplash + 200);
        const double avant = cpuMs(o.pid);
        pomper(x, o, tSplash + 1900);
        if (o.suivies.count(idSplash))
            std::printf("cpu_pause_ms=%s\n", valeur(cpuMs(o.pid) - avant).c_str());
    }
    pomper(x, o, limite, [&] { return principale() != nullptr; });
    const Fenetre *fp = principale();
    if (!fp) {
        arreter(o.pid);
        echouer("the main window was never mapped");
    }
    const double tPrincipale = fp->carte;
    const xcb_window_t idPrincipale = fp->id;
    const Fenetre *fs = trouver(o, estSplash);
    const double tPremiere = o.cartes.front().carte;

    std::printf("premiere_ms=%s\n", valeur(tPremiere - t0).c_str());
    std::printf("principale_ms=%s\n", valeur(tPrincipale - t0).c_str());
    if (fs)
        std::printf("splash_ms=%s\n", valeur(fs->carte - t0).c_str());
    std::printf("principale=%dx%d\n", fp->largeur, fp->hauteur);

    Table table;
    if (donner) {
        // A game dealt: "Nouvelle partie", then "Distribuer", clicked once the
        // splash has gone and the window has settled.
        const double tTable = attendreTable(x, o, limite);
        pomper(x, o, std::max(tTable, tPrincipale) + 500);
        table = localiserTable(x, idPrincipale);
        if (table.trouvee) {
            cliquer(table.x + bouton1X, table.y + bouton1Y);
            pomper(x, o, maintenant() + 150);
            cliquer(table.x + bouton2X, table.y + bouton2Y);
        }
        if (boite && table.trouvee) {
            // The deal gives the human the lead, and says so to a screen
            // reader. A card laid at once waits for that to be heard; the
            // claim that follows is one the card cannot make, and its box
            // stays open while the card's message waits.
            pomper(x, o, maintenant() + 300);
            cliquer(table.x + mainX(0), table.y + mainY);
            pomper(x, o, maintenant() + 150);
            cliquer(table.x + bouton5X, table.y + bouton5Y);
        }
    }
    pomper(x, o, tPrincipale + 3000);
    const std::string proc = "/proc/" + std::to_string(o.pid);
    const std::string status = lireFichier(proc + "/status");
    const double cpu3 = cpuMs(o.pid);
    std::printf("rss_ko=%lld\n", champKo(status, "VmRSS").value_or(-1));
    std::printf("pss_ko=%lld\n", champKo(lireFichier(proc + "/smaps_rollup"), "Pss").value_or(-1));
    std::printf("cpu3_ms=%s\n", valeur(cpu3).c_str());
    if (donner) {
        bool main = false;
        if (table.trouvee) {
            // Cards in the hand: the first hand image is not the panel's green.
            const Image im = x.saisir(table.x + 9 + 8, table.y + 445 + 20, 16, 16);
            for (int i = 0; i < 16 * 16 && !main; ++i)
                main = !(im.rgb[size_t(i) * 3] == 0 && im.rgb[size_t(i) * 3 + 1] == 128 && im.rgb[size_t(i) * 3 + 2] == 0);
        }
        std::printf("donne=%d\n", main ? 1 : 0);
    }

    // Ten seconds of idle, once the deal has been painted: nothing drawn for
    // a second (on a loaded machine the clicks may land late).
    auto dernierDessin = [&]() { return o.dommages.empty() ? tPrincipale : o.dommages.back().t; };
    while (maintenant() - dernierDessin() < 1000 && maintenant() < tPrincipale + 15000)
        pomper(x, o, dernierDessin() + 1000);
    std::printf("repos_debut_ms=%s\n", valeur(maintenant() - tPrincipale).c_str());
    const size_t dommagesAvant = o.dommages.size();
    const long long reveilsAvant = reveils(o.pid);
    const double cpuAvant = cpuMs(o.pid);
    pomper(x, o, maintenant() + 10000);
    std::printf("repos_cpu_ms=%s\n", valeur(cpuMs(o.pid) - cpuAvant).c_str());
    std::printf("repos_reveils=%lld\n", reveils(o.pid) - reveilsAvant);
    std::printf("repos_dommages=%zu\n", o.dommages.size() - dommagesAvant);
    (void)idPrincipale;
    arreter(o.pid);
    return 0;
}

// -------------------------------------------------------------- pauses --

std::vector<Image> lireFaces(const std::string &chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::vector<Image> faces;
    for (int n = 0; n < 52; ++n) {
        Image im;
        im.largeur = zoneL;
        im.hauteur = zoneH;
        im.rgb.resize(size_t(zoneL) * zoneH * 3);
        if (!f.read(reinterpret_cast<char *>(im.rgb.data()), std::streamsize(im.rgb.size())))
            echouer("cannot read the card faces from " + chemin);
        faces.push_back(std::move(im));
    }
    return faces;
}

// The real 500 ms pause after each computer card, seen from outside: each
// card's start is the damage of the play zone that brought it, its end the
// next damage of any of the program's windows (the program paints nothing
// while it sleeps). Grabs of the play zone every few milliseconds show which
// face is on the screen meanwhile.
int pauses(const std::vector<std::string> &commande, const std::string &dossier, const std::string &fichierFaces,
           int nbCartes, const std::string &fichierJournal)
{
    const std::vector<Image> faces = lireFaces(fichierFaces);
    ClientX x;
    Observation o;
    double t0 = 0;
    o.pid = lancer(commande, dossier, t0);
    const double limite = t0 + 240000;
    auto principale = [&]() { return trouver(o, [](const Fenetre &f) { return !estSplash(f) && f.largeur > 300; }); };
    pomper(x, o, t0 + 20000, [&] { return principale() != nullptr; });
    if (!principale()) {
        arreter(o.pid);
        echouer("the main window was never mapped");
    }
    const xcb_window_t idPrincipale = principale()->id;
    pomper(x, o, attendreTable(x, o, t0 + 20000) + 500);
    const Table table = localiserTable(x, idPrincipale);
    if (!table.trouvee) {
        arreter(o.pid);
        echouer("the table was not found on the screen");
    }
    int fx, fy, fl, fh;
    x.geometrie(idPrincipale, fx, fy, fl, fh);
    const int zx = table.x + zoneX, zy = table.y + zoneY;         // on the screen
    const int zwx = zx - fx, zwy = zy - fy;                          // in the main window

    struct Capture {
        double t;
        int face;
    };
    std::vector<Capture> captures;
    std::vector<double> actions;      // times of the driver's clicks and keys
    double dernierDommage = maintenant();
    size_t dommagesVus = 0;
    int faceCourante = -1;
    struct Apparition {
        double capture;   // first grab that shows it
        int face;
    };
    std::vector<Apparition> apparitions;
    std::set<size_t> humaines;   // indexes in apparitions of the human's cards

    // Pumps events and grabs the play zone every 5 ms until `jusqua`.
    auto observer = [&](double jusqua, const std::function<bool()> &arret = {}) {
        for (;;) {
            const double t = maintenant();
            if (t >= jusqua || (arret && arret()))
                return;
            pomper(x, o, std::min(jusqua, t + 5));
            for (; dommagesVus < o.dommages.size(); ++dommagesVus)
                dernierDommage = o.dommages[dommagesVus].t;
            const Image im = x.saisir(zx, zy, zoneL, zoneH);
            // Events that came in while the grab was read get their time now,
            // before the grab's own, so that a card's damage precedes its grab.
            pomper(x, o, 0);
            for (; dommagesVus < o.dommages.size(); ++dommagesVus)
                dernierDommage = o.dommages[dommagesVus].t;
            const double tc = maintenant();
            int face = -2;   // unknown: no face, the green of an empty zone
            if (faceCourante >= 0 && ecart(im, faces[size_t(faceCourante)], 6) < 12)
                face = faceCourante;
            else
                face = reconnaitre(im, faces, 6, 12);
            captures.push_back({tc, face});
            if (face >= 0 && face != faceCourante)
                apparitions.push_back({tc, face});
            if (face >= 0)
                faceCourante = face;
        }
    };
    // xdotool runs beside the observation, so that no event waits for it.
    auto agir = [&](const std::vector<std::string> &commandeX) {
        actions.push_back(maintenant());
        const pid_t pid = xdotoolSansAttendre(commandeX);
        int statut = 0;
        observer(maintenant() + 5000, [&] { return waitpid(pid, &statut, WNOHANG) == pid; });
        actions.push_back(maintenant());
    };
    auto clic = [](int px, int py) {
        return std::vector<std::string>{"mousemove", std::to_string(px), std::to_string(py), "click", "1"};
    };
    auto cliquerTable = [&](int dx, int dy) { agir(clic(table.x + dx, table.y + dy)); };
    // Quiet: nothing painted for longer than a pause (with room for a loaded
    // machine), nor since the last action.
    auto attendreCalme = [&]() {
        observer(limite, [&] {
            const double t = maintenant();
            return t - dernierDommage > 700 && t - actions.back() > 700;
        });
    };
    auto autreFenetre = [&]() -> const Fenetre * {
        for (auto it = o.cartes.rbegin(); it != o.cartes.rend(); ++it)
            if (it->id != idPrincipale && o.suivies.count(it->id))
                return &*it;
        return nullptr;
    };
    auto passeActive = [&]() {
        const Image b = x.saisir(table.x + 448, table.y + 450, bouton4L, bouton4H);
        int blancs = 0;
        for (size_t i = 0; i + 2 < b.rgb.size(); i += 3)
            blancs += b.rgb[i] > 235 && b.rgb[i + 1] > 235 && b.rgb[i + 2] > 235;
        return blancs >= 5;
    };
    auto cartesOrdinateur = [&]() {
        int n = 0;
        for (size_t i = 0; i < apparitions.size(); ++i)
            n += humaines.count(i) ? 0 : 1;
        return n;
    };

    bool main[12];
    auto nouvelleDonne = [&]() { std::fill(std::begin(main), std::end(main), true); };
    actions.push_back(maintenant());
    cliquerTable(bouton1X, bouton1Y);
    observer(maintenant() + 150);
    cliquerTable(bouton2X, bouton2Y);
    nouvelleDonne();
    bool distribuer = false, nouvellePartie = false;
    int manches = 0, parties = 1, boites = 0;
    while (cartesOrdinateur() < nbCartes && maintenant() < limite) {
        attendreCalme();
        if (const Fenetre *f = autreFenetre()) {
            int px = 0, py = 0, l = 0, h = 0;
            x.geometrie(f->id, px, py, l, h);
            if (l == 560 && h == 351) {           // end of round: "Ok"
                agir(clic(px + 432 + 40, py + 320 + 12));
                distribuer = true;
                ++manches;
            } else if (l == 547 && h == 158) {    // end of game: "OK"
                agir(clic(px + 448 + 48, py + 128 + 12));
                nouvellePartie = true;
            } else {                               // a message box: its default button
                agir({"key", "Return"});
                ++boites;
            }
            continue;
        }
        if (nouvellePartie) {
            cliquerTable(bouton1X, bouton1Y);
            observer(maintenant() + 150);
            nouvellePartie = false;
            distribuer = true;
            ++parties;
        }
        if (distribuer) {
            cliquerTable(bouton2X, bouton2Y);
            nouvelleDonne();
            distribuer = false;
            continue;
        }
        if (passeActive()) {
            cliquerTable(bouton4X, bouton4Y);
            continue;
        }
        // Any card may open the run: lay the lowest one still in the hand.
        int k = 0;
        while (k < 12 && !main[k])
            ++k;
        if (k == 12) {
            // Every card laid, yet no round over: the deal was missed; deal again.
            distribuer = true;
            continue;
        }
        const size_t avant = apparitions.size();
        cliquerTable(mainX(k), mainY);
        attendreCalme();
        // Whatever the play zone showed since the click is the human's card:
        // the computer seats play only after a pass or a deal.
        for (size_t i = avant; i < apparitions.size(); ++i)
            humaines.insert(i);
        // A click that the program dropped (it came during the computer
        // seats' turns on a slow machine) laid nothing: the card is still held.
        main[k] = apparitions.size() == avant;
    }
    // Let the last pause end.
    observer(maintenant() + 800);
    arreter(o.pid);

    // Each computer card: start, end, faces grabbed meanwhile.
    std::FILE *journal = fichierJournal.empty() ? nullptr : std::fopen(fichierJournal.c_str(), "w");
    std::vector<double> longueurs;
    int visibles = 0, suitesValides = 0, analysees = 0;
    double trouMax = 0;   // longest time without a grab inside a pause
    int facePrecedente = -1;
    double apparitionPrecedente = 0;
    for (size_t i = 0; i < apparitions.size(); ++i) {
        const Apparition &a = apparitions[i];
        const bool humaine = humaines.count(i) > 0;
        // The damage of the play zone that brought the card: the last one before the grab.
        double debut = -1;
        for (const auto &d : o.dommages) {
            if (d.t > a.capture)
                break;
            if (d.w == idPrincipale && d.x < zwx + zoneL && d.x + d.l > zwx && d.y < zwy + zoneH && d.y + d.h > zwy)
                debut = d.t;
        }
        // A driver action between two cards starts a new sequence of turns.
        const bool memeSuite = facePrecedente >= 0 &&
            std::none_of(actions.begin(), actions.end(), [&](double t) { return t > apparitionPrecedente && t < a.capture; });
        const int rangPrecedent = rangDe(facePrecedente + 1);
        facePrecedente = a.face;
        apparitionPrecedente = a.capture;
        if (humaine || debut < 0 || int(longueurs.size()) >= nbCartes)
            continue;
        double fin = -1;
        for (const auto &d : o.dommages)
            if (d.t > debut + 2) {
                fin = d.t;
                break;
            }
        if (fin < 0)
            continue;
        ++analysees;
        longueurs.push_back(fin - debut);
        // On the screen during its pause: every grab inside it shows this
        // face, the first within 15 ms of the start. Up to the end nothing
        // was drawn in the window (the end is the first damage after the
        // start), so the face cannot have changed between two grabs either;
        // the largest gap between grabs is reported all the same.
        int n = 0, autres = 0;
        double premiere = 1e18, derniere = -1, precedente = debut, trou = 0;
        for (const auto &c : captures) {
            if (c.t <= debut + 1 || c.t >= fin - 1)
                continue;
            trou = std::max(trou, c.t - precedente);
            precedente = c.t;
            if (c.face == a.face) {
                ++n;
                premiere = std::min(premiere, c.t);
                derniere = std::max(derniere, c.t);
            } else {
                ++autres;
            }
        }
        trou = std::max(trou, fin - precedente);
        trouMax = std::max(trouMax, trou);
        const bool vue = n >= 20 && autres == 0 && premiere - debut <= 15;
        visibles += vue ? 1 : 0;
        // Within one sequence of computer turns ranks rise, except after a king.
        const bool suite = !memeSuite || rangPrecedent == 13 || rangDe(a.face + 1) > rangPrecedent;
        suitesValides += suite ? 1 : 0;
        if (journal)
            std::fprintf(journal, "carte %d rang %d debut %.3f pause %.3f captures %d autres %d premiere %+.1f derniere %+.1f trou %.1f %s%s\n",
                         a.face + 1, rangDe(a.face + 1), debut - t0, fin - debut, n, autres, premiere - debut,
                         derniere - fin, trou, vue ? "vue" : "NON VUE", suite ? "" : " SUITE INVALIDE");
    }
    if (journal)
        std::fclose(journal);
    const Resume r = resumer(longueurs);
    double somme = 0, pire = 0;
    for (double l : longueurs) {
        somme += l;
        if (std::fabs(l - 500) > std::fabs(pire))
            pire = l - 500;
    }
    std::printf("pauses=%d\n", analysees);
    std::printf("pause_moyenne_ms=%s\n", valeur(longueurs.empty() ? 0 : somme / double(longueurs.size())).c_str());
    std::printf("pause_mediane_ms=%s\n", valeur(r.mediane).c_str());
    std::printf("pause_min_ms=%s\n", valeur(r.min).c_str());
    std::printf("pause_max_ms=%s\n", valeur(r.max).c_str());
    std::printf("pause_pire_ecart_ms=%s\n", valeur(pire).c_str());
    std::printf("cartes_visibles=%d\n", visibles);
    std::printf("suites_valides=%d\n", suitesValides);
    std::printf("captures=%zu\n", captures.size());
    std::printf("captures_trou_max_ms=%s\n", valeur(trouMax).c_str());
    std::printf("manches=%d\nparties=%d\nboites=%d\n", manches, parties, boites);
    std::printf("duree_s=%s\n", valeur((maintenant() - t0) / 1000).c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        echouer("usage: banc_sonde demarrage|pauses ... -- PROGRAM");
    const std::string mode = args[0];
    std::string dossier = ".", faces, journal;
    int cartes = 100;
    bool donner = false, boite = false;
    std::vector<std::string> commande;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--") {
            commande.assign(args.begin() + long(i) + 1, args.end());
            break;
        }
        if (args[i] == "--donner")
            donner = true;
        else if (args[i] == "--boite")
            boite = donner = true;
        else if (i + 1 < args.size() && args[i] == "--dossier")
            dossier = args[++i];
        else if (i + 1 < args.size() && args[i] == "--faces")
            faces = args[++i];
        else if (i + 1 < args.size() && args[i] == "--journal")
            journal = args[++i];
        else if (i + 1 < args.size() && args[i] == "--cartes")
            cartes = std::atoi(args[++i].c_str());
        else
            echouer("unknown argument " + args[i]);
    }
    if (commande.empty())
        echouer("no program given after --");
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (mode == "demarrage")
        return demarrage(commande, dossier, donner, boite);
    if (mode == "pauses")
        return pauses(commande, dossier, faces, cartes, journal);
    echouer("unknown mode " + mode);
}
