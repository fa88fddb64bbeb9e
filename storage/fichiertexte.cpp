#include "storage/fichiertexte.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace fichier {

namespace {

constexpr char ctrlZ = 26;
constexpr int longueurMaximaleNombre = 32;
// A file is read through a buffer of this size, never whole. The fuzzing
// build makes it a few bytes, so that its inputs cross its edges often.
#ifndef MERLE_TAMPON_LECTURE
#define MERLE_TAMPON_LECTURE (64 * 1024)
#endif
constexpr std::size_t tailleTampon = MERLE_TAMPON_LECTURE;
// A line longer than this is kept to its first bytes and the rest of it is
// passed over, so that no file can make the read hold more in memory.
constexpr qsizetype longueurMaximaleLigne = qsizetype(16) * 1024 * 1024;
// A device or a pipe may never end: after this many bytes its read stops
// with EFBIG. A regular file has no such cut.
constexpr std::int64_t lectureMaximaleFlux = std::int64_t(64) * 1024 * 1024;

QByteArray nomSysteme(const QString &chemin)
{
    return QFile::encodeName(chemin);
}

// close() that keeps the first error and never retries on EINTR (the
// descriptor is gone either way on Linux).
int fermerDescripteur(int fd)
{
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int ecrireTout(int fd, const char *donnees, qsizetype taille)
{
    while (taille > 0) {
        const ssize_t n = ::write(fd, donnees, size_t(taille));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        donnees += n;
        taille -= n;
    }
    return 0;
}

// Flushes the entry table of the folder held open, so that a rename
// survives a power cut. The new file is already in place when this runs, so
// a failure here is not reported as a failed write.
void synchroniserDossier(int dossier)
{
    const int fd = ::openat(dossier, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The longest chain of symbolic links followed, as the kernel allows.
constexpr int liensMaximum = 40;

// Whether a symbolic link may be followed out of the folder that holds it.
// In a folder where anyone may add a name but only its owner may remove it
// (mode 1777, as /tmp), another user may lay a link for the player to write
// through: such a link is followed only when it is the player's own or the
// folder owner's. The kernel has the same rule (fs.protected_symlinks), but
// only for the links it follows itself and only when that setting is on.
bool lienPermis(const struct stat &dossier, const struct stat &lien)
{
    constexpr mode_t partage = S_ISVTX | S_IWOTH;
    return (dossier.st_mode & partage) != partage || lien.st_uid == ::geteuid() || lien.st_uid == dossier.st_uid;
}

// Where a path leads: the folder that holds the file, open, and the file's
// name in it, never a link. Reading and writing then go through the folder
// itself, so that a name swapped on the way after the checks cannot send
// them elsewhere.
struct Emplacement {
    int dossier = -1;          // an O_PATH descriptor, the caller's to close
    QByteArray nom;            // "." when the path names a folder
    bool existe = false;
    struct stat infos {};      // the file's, when it exists
    bool parLeNoyau = false;   // nom is a link of /proc, for the kernel to open
};

// Whether a folder is the kernel's /proc, whose links (/proc/self/fd/0,
// reached from /dev/stdin) lead to what a process holds open: a pipe, or a
// file since deleted. Their text names no path that could be followed.
bool dansProc(int dossier)
{
    constexpr long procMagique = 0x9fa0;   // PROC_SUPER_MAGIC
    struct statfs infos;
    return ::fstatfs(dossier, &infos) == 0 && infos.f_type == procMagique;
}

// Follows the path one name at a time from "/" or the working folder, each
// folder opened without following a link, each link read and checked
// against the folder that holds it, as far as a chain of links goes (the
// links met on the way included). 0 or the errno. With noyau, a link of
// /proc at the end of the path is left for the kernel to open: no one but
// the kernel lays those, so the shared-folder rule has nothing to check.
int trouver(const QByteArray &chemin, Emplacement &lieu, bool noyau)
{
    // The names still to go through, the next one last.
    std::vector<QByteArray> reste;
    const auto empiler = [&reste](const QByteArray &noms) {
        const QList<QByteArray> parties = noms.split('/');
        reste.insert(reste.end(), parties.rbegin(), parties.rend());
    };
    int dossier = -1;
    const auto partirDe = [&dossier](const char *racine) {
        if (dossier >= 0)
            ::close(dossier);
        dossier = ::open(racine, O_PATH | O_DIRECTORY | O_CLOEXEC);
        return dossier >= 0 ? 0 : errno;
    };
    const auto echec = [&dossier](int code) {
        if (dossier >= 0)
            ::close(dossier);
        return code;
    };
    const auto entrer = [&dossier](const char *nom) {
        const int sous = ::openat(dossier, nom, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sous < 0)
            return errno;
        ::close(dossier);
        dossier = sous;
        return 0;
    };

    empiler(chemin);
    if (const int e = partirDe(chemin.startsWith('/') ? "/" : "."))
        return e;
    for (int liens = 0;;) {
        QByteArray nom = reste.back();
        reste.pop_back();
        const bool dernier = reste.empty();
        if (nom.isEmpty())
            nom = ".";
        if (nom == "..") {
            if (const int e = entrer(".."))
                return echec(e);
            nom = ".";
        }
        if (nom == "." && !dernier)
            continue;
        if (!dernier) {
            const int e = entrer(nom.constData());
            if (e == 0)
                continue;
            if (e != ENOTDIR)
                return echec(e);
            // A link, or a name that is no folder.
        }
        const int fd = ::openat(dossier, nom.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (dernier && errno == ENOENT) {
                lieu = Emplacement{dossier, nom, false, {}};
                return 0;
            }
            return echec(errno);
        }
        struct stat infos, infosDossier;
        if (::fstat(fd, &infos) != 0 || ::fstat(dossier, &infosDossier) != 0) {
            const int e = errno;
            ::close(fd);
            return echec(e);
        }
        if (!S_ISLNK(infos.st_mode)) {
            ::close(fd);
            if (!dernier)
                return echec(ENOTDIR);
            lieu = Emplacement{dossier, nom, true, infos};
            return 0;
        }
        if (noyau && dernier && dansProc(dossier)) {
            ::close(fd);
            lieu = Emplacement{dossier, nom, true, infos, true};
            return 0;
        }
        // A link: its text goes in place of its name, read relative to the
        // folder it lies in.
        if (++liens > liensMaximum || !lienPermis(infosDossier, infos)) {
            ::close(fd);
            return echec(liens > liensMaximum ? ELOOP : EACCES);
        }
        QByteArray cible(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlinkat(fd, "", cible.data(), size_t(cible.size()));
        const int e = errno;
        ::close(fd);
        if (n < 0)
            return echec(e);
        if (n >= cible.size())
            return echec(ENAMETOOLONG);
        if (n == 0)
            return echec(ENOENT);
        cible.truncate(n);
        empiler(cible);
        if (cible.startsWith('/')) {
            if (const int e = partirDe("/"))
                return echec(e);
        }
    }
}

// Creates a new file of a free name ".mv.XXXXXX" in the folder, with the
// mode given (less the umask). Returns its descriptor, or minus the errno.
int creerTemporaire(int dossier, mode_t mode, QByteArray &nom)
{
    static const char lettres[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int essai = 0; essai < 100; ++essai) {
        nom = ".mv.";
        for (int i = 0; i < 6; ++i)
            nom.append(lettres[QRandomGenerator::system()->bounded(int(sizeof lettres - 1))]);
        const int fd = ::openat(dossier, nom.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            return -errno;
    }
    return -EEXIST;
}

bool estEspace(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// A decimal integer with an optional sign, within 32 bits.
bool convertirEntier(const char *debut, const char *fin, std::int32_t &valeur)
{
    bool negatif = false;
    if (debut < fin && (*debut == '-' || *debut == '+')) {
        negatif = *debut == '-';
        ++debut;
    }
    if (debut == fin)
        return false;
    std::int64_t n = 0;
    for (const char *p = debut; p < fin; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + (*p - '0');
        if (n > std::int64_t(INT32_MAX) + 1)
            return false;
    }
    if (negatif)
        n = -n;
    if (n < INT32_MIN || n > INT32_MAX)
        return false;
    valeur = std::int32_t(n);
    return true;
}

} // namespace

QString messageErreur(int code)
{
    switch (code) {
    case 0:
        return QString();
    case ENOENT:
        return QStringLiteral("Fichier introuvable");
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR:
    case ELOOP:
    case EILSEQ:
        return QStringLiteral("Nom de fichier incorrect");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return QStringLiteral("Accès au fichier refusé");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disque plein");
    case finDeFichier:
        return QStringLiteral("Lecture au-delà de la fin de fichier");
    case saisieNumerique:
        return QStringLiteral("Saisie numérique incorrecte");
    default:
        return QStringLiteral("Erreur E/S %1").arg(code);
    }
}

QByteArray versLatin1(const QString &texte)
{
    QByteArray octets;
    octets.reserve(texte.size());
    for (char32_t c : texte.toUcs4())
        octets.append(c <= 0xFF ? char(c) : '?');
    return octets;
}

// --- reading -------------------------------------------------------------

Lecture::~Lecture()
{
    if (descripteur >= 0)
        ::close(descripteur);
}

int Lecture::ouvrir(const QString &chemin)
{
    if (descripteur >= 0)
        ::close(descripteur);
    descripteur = -1;
    tampon.clear();
    position = 0;
    finAtteinte = false;
    limite = -1;
    if (chemin.isEmpty())
        return EINVAL;
    const QByteArray nom = nomSysteme(chemin);
    if (nom.contains('\0'))
        return EINVAL;
    Emplacement lieu;
    if (const int e = trouver(nom, lieu, true))
        return e;
    // Non-blocking, so that a named pipe without a writer reads as empty
    // instead of hanging the program.
    const int fd = ::openat(lieu.dossier, lieu.nom.constData(),
                            O_RDONLY | O_CLOEXEC | O_NONBLOCK | (lieu.parLeNoyau ? 0 : O_NOFOLLOW));
    const int erreur = errno;
    ::close(lieu.dossier);
    if (fd < 0)
        return erreur;
    struct stat infos;
    if (::fstat(fd, &infos) != 0) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    if (S_ISDIR(infos.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    // A regular file ends; a device or a pipe may never end, and blanks or a
    // line without end could be read from it forever.
    if (!S_ISREG(infos.st_mode))
        limite = lectureMaximaleFlux;
    descripteur = fd;
    return 0;
}

// Makes at least one unread byte available; false at the end of the text
// (end of file, Ctrl-Z) or on an error, which erreur then holds.
bool Lecture::remplir(int &erreur)
{
    erreur = 0;
    if (position < tampon.size())
        return true;
    if (finAtteinte || descripteur < 0)
        return false;
    tampon.resize(tailleTampon);
    position = 0;
    for (;;) {
        std::size_t demande = tampon.size();
        if (limite >= 0)
            demande = std::size_t(std::min<std::int64_t>(limite + 1, std::int64_t(demande)));
        const ssize_t n = ::read(descripteur, tampon.data(), demande);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            erreur = errno;
            tampon.clear();
            return false;
        }
        if (n <= 0) {
            finAtteinte = true;
            tampon.clear();
            return false;
        }
        if (limite >= 0) {
            limite -= n;
            if (limite < 0) {
                erreur = EFBIG;
                tampon.clear();
                return false;
            }
        }
        tampon.resize(std::size_t(n));
        // A Ctrl-Z ends the text.
        if (const void *z = std::memchr(tampon.data(), ctrlZ, tampon.size())) {
            tampon.resize(std::size_t(static_cast<const char *>(z) - tampon.data()));
            finAtteinte = true;
            if (tampon.empty())
                return false;
        }
        return true;
    }
}

// Passes the rest of the current line, its LF included.
int Lecture::passerLaLigne()
{
    int e = 0;
    while (remplir(e)) {
        const char *debut = tampon.data() + position;
        const std::size_t reste = tampon.size() - position;
        if (const void *lf = std::memchr(debut, '\n', reste)) {
            position += std::size_t(static_cast<const char *>(lf) - debut) + 1;
            return 0;
        }
        position = tampon.size();
    }
    return e;
}

int Lecture::lireLigne(QString &ligne)
{
    ligne.clear();
    if (descripteur < 0)
        return EBADF;
    QByteArray octets;
    int e = 0;
    bool finDeLigne = false;
    char dernier = 0;          // the last byte before the LF, kept or not
    std::int64_t longueur = 0; // the whole line's length
    while (!finDeLigne && remplir(e)) {
        const char *debut = tampon.data() + position;
        const std::size_t reste = tampon.size() - position;
        const void *lf = std::memchr(debut, '\n', reste);
        const std::size_t n = lf ? std::size_t(static_cast<const char *>(lf) - debut) : reste;
        // What goes past the longest line kept is passed over, not held.
        const qsizetype place = longueurMaximaleLigne - octets.size();
        octets.append(debut, qsizetype(std::min<std::size_t>(n, std::size_t(std::max<qsizetype>(place, 0)))));
        if (n > 0)
            dernier = debut[n - 1];
        longueur += std::int64_t(n);
        position += lf ? n + 1 : n;
        finDeLigne = lf != nullptr;
    }
    if (e != 0)
        return e;
    // CR LF ends a line as LF does; a CR elsewhere is part of the text.
    if (finDeLigne && dernier == '\r' && longueur <= longueurMaximaleLigne)
        octets.chop(1);
    ligne = QString::fromLatin1(octets);
    return 0;
}

int Lecture::lireEntier(std::int32_t &valeur)
{
    valeur = 0;
    if (descripteur < 0)
        return EBADF;
    int e = 0;
    // Blanks and line ends before the number.
    for (;;) {
        if (!remplir(e))
            return e;   // the end of the text reads 0
        while (position < tampon.size() && estEspace(tampon[position]))
            ++position;
        if (position < tampon.size())
            break;
    }
    // The token: only its first characters are kept, one more than a number
    // may have, so that a longer one is seen as such.
    char jeton[longueurMaximaleNombre + 1];
    std::size_t longueur = 0;
    bool finDuJeton = false;
    while (!finDuJeton && remplir(e)) {
        while (position < tampon.size() && !estEspace(tampon[position])) {
            if (longueur < sizeof jeton)
                jeton[longueur] = tampon[position];
            ++longueur;
            ++position;
        }
        finDuJeton = position < tampon.size();
    }
    if (e != 0)
        return e;
    // The rest of the line goes, whatever the token was.
    if (finDuJeton && (e = passerLaLigne()) != 0)
        return e;
    if (longueur > std::size_t(longueurMaximaleNombre)
        || !convertirEntier(jeton, jeton + longueur, valeur)) {
        valeur = 0;
        return saisieNumerique;
    }
    return 0;
}

int Lecture::fermer()
{
    if (descripteur < 0)
        return EBADF;
    const int fd = descripteur;
    descripteur = -1;
    tampon.clear();
    tampon.shrink_to_fit();
    position = 0;
    return fermerDescripteur(fd);
}

// --- writing -------------------------------------------------------------

Ecriture::~Ecriture()
{
    abandonner();
}

void Ecriture::abandonner()
{
    if (descripteur >= 0) {
        ::close(descripteur);
        descripteur = -1;
    }
    if (dossier >= 0) {
        if (!temporaire.isEmpty())
            ::unlinkat(dossier, temporaire.constData(), 0);
        ::close(dossier);
        dossier = -1;
    }
    temporaire.clear();
    cible.clear();
}

int Ecriture::echouer(int code)
{
    abandonner();
    return code;
}

int Ecriture::ouvrir(const QString &chemin)
{
    abandonner();
    if (chemin.isEmpty())
        return EINVAL;
    const QByteArray nom = nomSysteme(chemin);
    if (nom.contains('\0') || nom.endsWith('/'))
        return EINVAL;

    // A link is followed where it may be, as far as a chain of links goes:
    // the file it names is the one replaced, or created when the link
    // dangles. The folder found is held until the rename.
    Emplacement lieu;
    if (const int e = trouver(nom, lieu, false))
        return e;
    dossier = lieu.dossier;
    cible = lieu.nom;
    const struct stat &infos = lieu.infos;
    if (lieu.existe && S_ISDIR(infos.st_mode))
        return echouer(EISDIR);
    // A device or a pipe is not a file the game writes: renaming over it
    // would replace the node itself.
    if (lieu.existe && !S_ISREG(infos.st_mode))
        return echouer(EINVAL);
    // A file we may not write stays as it is, even where the folder would
    // let us replace it.
    if (lieu.existe && ::faccessat(dossier, cible.constData(), W_OK, 0) != 0)
        return echouer(errno);

    // A new file is created as any program creates one, with mode 0666
    // less the umask (and the folder's default ACL); a replaced one is made
    // private first and given the old file's mode below.
    const int fd = creerTemporaire(dossier, lieu.existe ? 0600 : 0666, temporaire);
    if (fd < 0) {
        temporaire.clear();
        return echouer(-fd);
    }
    descripteur = fd;

    if (lieu.existe) {
        // The owner and group first, where we may set them (root may; a user
        // may keep a group he belongs to), since a change of owner clears the
        // set-id bits. Otherwise the new file is the writer's, in his group.
        if (::fchown(fd, infos.st_uid, infos.st_gid) != 0 && ::fchown(fd, uid_t(-1), infos.st_gid) != 0) {
            // Neither: the file stays the writer's own.
        }
        // The permission bits, never the set-user-id, set-group-id or sticky
        // bits: a file the game writes is no program.
        if (::fchmod(fd, infos.st_mode & 0777) != 0)
            return echouer(errno);
    }
    return 0;
}

int Ecriture::ecrireLigne(const QString &ligne)
{
    if (descripteur < 0)
        return EBADF;
    const QByteArray octets = versLatin1(ligne) + "\r\n";
    const int e = ecrireTout(descripteur, octets.constData(), octets.size());
    return e != 0 ? echouer(e) : 0;
}

int Ecriture::fermer()
{
    if (descripteur < 0)
        return EBADF;
    if (::fsync(descripteur) != 0 && errno != EINVAL)
        return echouer(errno);
    const int fd = descripteur;
    descripteur = -1;
    if (const int e = fermerDescripteur(fd))
        return echouer(e);
    // In the folder that was checked, whatever its path leads to by now.
    if (::renameat(dossier, temporaire.constData(), dossier, cible.constData()) != 0)
        return echouer(errno);
    temporaire.clear();
    synchroniserDossier(dossier);
    abandonner();
    return 0;
}

} // namespace fichier
