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

// The folder part of a path ("." when there is none), and the file part.
void separer(const QByteArray &chemin, QByteArray &dossier, QByteArray &nom)
{
    const qsizetype barre = chemin.lastIndexOf('/');
    if (barre < 0) {
        dossier = ".";
        nom = chemin;
    } else {
        dossier = barre == 0 ? QByteArray("/") : chemin.left(barre);
        nom = chemin.mid(barre + 1);
    }
}

// Flushes the folder's entry table so that a rename survives a power cut.
// The new file is already in place when this runs, so a failure here is not
// reported as a failed write.
void synchroniserDossier(const QByteArray &dossier)
{
    const int fd = ::open(dossier.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The longest chain of symbolic links followed, as the kernel allows.
constexpr int liensMaximum = 40;

// Replaces a path that is a symbolic link with the path it points to, read
// relative to the link's own folder.
int lireLien(QByteArray &chemin)
{
    QByteArray cible(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(chemin.constData(), cible.data(), size_t(cible.size()));
    if (n < 0)
        return errno;
    if (n >= cible.size())
        return ENAMETOOLONG;
    cible.truncate(n);
    if (cible.isEmpty())
        return ENOENT;
    if (!cible.startsWith('/')) {
        const qsizetype barre = chemin.lastIndexOf('/');
        if (barre >= 0)
            cible.prepend(chemin.left(barre + 1));
    }
    chemin = cible;
    return 0;
}

// Creates a new file of a free name ".mv.XXXXXX" in the folder, with the
// mode given (less the umask). Returns its descriptor, or minus the errno.
int creerTemporaire(const QByteArray &dossier, mode_t mode, QByteArray &nom)
{
    static const char lettres[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QByteArray prefixe = (dossier == "/" ? QByteArray("/") : dossier + '/') + ".mv.";
    for (int essai = 0; essai < 100; ++essai) {
        nom = prefixe;
        for (int i = 0; i < 6; ++i)
            nom.append(lettres[QRandomGenerator::system()->bounded(int(sizeof lettres - 1))]);
        const int fd = ::open(nom.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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
    // Non-blocking, so that a named pipe without a writer reads as empty
    // instead of hanging the program.
    const int fd = ::open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
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
    if (!temporaire.isEmpty()) {
        ::unlink(nomSysteme(temporaire).constData());
        temporaire.clear();
    }
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
    QByteArray nom = nomSysteme(chemin);
    if (nom.contains('\0') || nom.endsWith('/'))
        return EINVAL;

    // A link is followed, as far as a chain of links goes: the file it names
    // is the one replaced, or created when the link dangles.
    struct stat infos;
    bool existe = false;
    for (int liens = 0;; ++liens) {
        if (::lstat(nom.constData(), &infos) != 0) {
            if (errno != ENOENT)
                return errno;
            break;
        }
        if (!S_ISLNK(infos.st_mode)) {
            existe = true;
            break;
        }
        if (liens == liensMaximum)
            return ELOOP;
        if (const int e = lireLien(nom))
            return e;
    }
    if (existe && S_ISDIR(infos.st_mode))
        return EISDIR;
    // A device or a pipe is not a file the game writes: renaming over it
    // would replace the node itself.
    if (existe && !S_ISREG(infos.st_mode))
        return EINVAL;
    // A file we may not write stays as it is, even where the folder would
    // let us replace it.
    if (existe && ::access(nom.constData(), W_OK) != 0)
        return errno;

    QByteArray dossier, base;
    separer(nom, dossier, base);
    if (base.isEmpty() || base == "." || base == "..")
        return EINVAL;
    // A new file is created as any program creates one, with mode 0666
    // less the umask (and the folder's default ACL); a replaced one is made
    // private first and given the old file's mode below.
    QByteArray modele;
    const int fd = creerTemporaire(dossier, existe ? 0600 : 0666, modele);
    if (fd < 0)
        return -fd;
    descripteur = fd;
    temporaire = QFile::decodeName(modele);
    cible = QFile::decodeName(nom);
    dossierCible = dossier;

    if (existe) {
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
    if (::rename(nomSysteme(temporaire).constData(), nomSysteme(cible).constData()) != 0)
        return echouer(errno);
    temporaire.clear();
    synchroniserDossier(dossierCible);
    cible.clear();
    return 0;
}

} // namespace fichier
