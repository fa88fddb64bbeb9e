#include "storage/fichiertexte.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fichier {

namespace {

constexpr char ctrlZ = 26;
// A text file of the game holds a few lines; anything this large is not one
// of ours, and reading it whole would only exhaust memory.
constexpr qsizetype tailleMaximale = qsizetype(64) * 1024 * 1024;
constexpr int longueurMaximaleNombre = 32;

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

int Lecture::ouvrir(const QString &chemin)
{
    contenu.clear();
    position = 0;
    estOuvert = false;
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
    char tampon[16384];
    for (;;) {
        const ssize_t n = ::read(fd, tampon, sizeof tampon);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                break;
            const int e = errno;
            ::close(fd);
            contenu.clear();
            return e;
        }
        if (n == 0)
            break;
        if (contenu.size() + n > tailleMaximale) {
            ::close(fd);
            contenu.clear();
            return EFBIG;
        }
        contenu.append(tampon, n);
    }
    const int e = fermerDescripteur(fd);
    if (e != 0) {
        contenu.clear();
        return e;
    }
    // A Ctrl-Z ends the text.
    const qsizetype fin = contenu.indexOf(ctrlZ);
    if (fin >= 0)
        contenu.truncate(fin);
    estOuvert = true;
    return 0;
}

int Lecture::lireLigne(QString &ligne)
{
    ligne.clear();
    if (!estOuvert)
        return EBADF;
    if (position >= contenu.size())
        return 0;
    qsizetype fin = contenu.indexOf('\n', position);
    const qsizetype suite = fin < 0 ? contenu.size() : fin + 1;
    if (fin < 0)
        fin = contenu.size();
    else if (fin > position && contenu.at(fin - 1) == '\r')
        --fin;
    ligne = QString::fromLatin1(contenu.constData() + position, fin - position);
    position = suite;
    return 0;
}

int Lecture::lireEntier(std::int32_t &valeur)
{
    valeur = 0;
    if (!estOuvert)
        return EBADF;
    const qsizetype taille = contenu.size();
    const char *octets = contenu.constData();
    while (position < taille && estEspace(octets[position]))
        ++position;
    if (position >= taille)
        return 0;
    const qsizetype debut = position;
    while (position < taille && !estEspace(octets[position]))
        ++position;
    const qsizetype longueur = position - debut;
    // The rest of the line goes, whatever the token was.
    const qsizetype finLigne = contenu.indexOf('\n', position);
    position = finLigne < 0 ? taille : finLigne + 1;
    if (longueur > longueurMaximaleNombre
        || !convertirEntier(octets + debut, octets + debut + longueur, valeur)) {
        valeur = 0;
        return saisieNumerique;
    }
    return 0;
}

int Lecture::fermer()
{
    if (!estOuvert)
        return EBADF;
    estOuvert = false;
    contenu.clear();
    position = 0;
    return 0;
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

    // A link is followed: the file it names is the one replaced.
    struct stat infos;
    bool existe = ::lstat(nom.constData(), &infos) == 0;
    if (existe && S_ISLNK(infos.st_mode)) {
        if (char *reel = ::realpath(nom.constData(), nullptr)) {
            nom = reel;
            std::free(reel);
        }
        existe = ::stat(nom.constData(), &infos) == 0;
    } else if (!existe && errno != ENOENT) {
        return errno;
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
    QByteArray modele = (dossier == "/" ? QByteArray("/") : dossier + '/') + ".mv.XXXXXX";
    const int fd = ::mkostemp(modele.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    descripteur = fd;
    temporaire = QFile::decodeName(modele);
    cible = QFile::decodeName(nom);
    dossierCible = dossier;

    // The new file keeps the old one's mode and owner; a new file gets 0644.
    if (existe) {
        ::fchmod(fd, infos.st_mode & 07777);
        if (::fchown(fd, infos.st_uid, infos.st_gid) != 0) {
            // Not ours to give away: the file is then ours, which is fine.
        }
    } else {
        ::fchmod(fd, 0644);
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
