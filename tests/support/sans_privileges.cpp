#include "support/sans_privileges.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool ecrireTout(int fd, const char *donnees, size_t taille)
{
    while (taille > 0) {
        const ssize_t n = ::write(fd, donnees, taille);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        donnees += n;
        taille -= size_t(n);
    }
    return true;
}

ResultatEnfant executer(const std::function<QByteArray()> &travail, bool sansPrivileges)
{
    ResultatEnfant resultat;
    int tube[2];
    if (::pipe(tube) != 0) {
        resultat.probleme = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return resultat;
    }
    const pid_t enfant = ::fork();
    if (enfant < 0) {
        resultat.probleme = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(tube[0]);
        ::close(tube[1]);
        return resultat;
    }
    if (enfant == 0) {
        ::close(tube[0]);
        // Group first: once the user is dropped, the group can no longer change.
        if (sansPrivileges
            && (::setgroups(0, nullptr) != 0 || ::setresgid(idSansPrivileges, idSansPrivileges, idSansPrivileges) != 0
                || ::setresuid(idSansPrivileges, idSansPrivileges, idSansPrivileges) != 0 || ::geteuid() == 0))
            ::_exit(3);
        const QByteArray sortie = travail();
        // _exit: the child must not run the parent's clean-up (temporary
        // folders, windows) a second time.
        ::_exit(ecrireTout(tube[1], sortie.constData(), size_t(sortie.size())) ? 0 : 4);
    }
    ::close(tube[1]);
    char tampon[4096];
    for (;;) {
        const ssize_t n = ::read(tube[0], tampon, sizeof tampon);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        resultat.sortie.append(tampon, n);
    }
    ::close(tube[0]);
    int statut = 0;
    while (::waitpid(enfant, &statut, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(statut))
        resultat.probleme = QStringLiteral("the child ended abnormally (status %1)").arg(statut);
    else if (WEXITSTATUS(statut) == 3)
        resultat.probleme = QStringLiteral("the child could not drop to uid/gid %1").arg(idSansPrivileges);
    else if (WEXITSTATUS(statut) != 0)
        resultat.probleme = QStringLiteral("the child could not report (exit %1)").arg(WEXITSTATUS(statut));
    else
        resultat.reussi = true;
    return resultat;
}

} // namespace

ResultatEnfant executerSansPrivileges(const std::function<QByteArray()> &travail)
{
    return executer(travail, true);
}

ResultatEnfant executerDansUnEnfant(const std::function<QByteArray()> &travail)
{
    return executer(travail, false);
}

QString lienSansPrivileges(const QString &cible, const QString &lien)
{
    const ResultatEnfant r = executerSansPrivileges([&] {
        return ::symlink(QFile::encodeName(cible).constData(), QFile::encodeName(lien).constData()) == 0
                   ? QByteArray()
                   : QByteArray(std::strerror(errno));
    });
    return r.reussi ? QString::fromLocal8Bit(r.sortie) : r.probleme;
}

QByteArray sansDescripteurLibre(const std::function<QByteArray()> &etape)
{
    const int libre = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (libre < 0)
        return "<open>";
    ::close(libre);
    rlimit avant;
    if (::getrlimit(RLIMIT_NOFILE, &avant) != 0)
        return "<getrlimit>";
    rlimit bas = avant;
    bas.rlim_cur = rlim_t(libre);
    if (::setrlimit(RLIMIT_NOFILE, &bas) != 0)
        return "<setrlimit>";
    const QByteArray r = etape();
    ::setrlimit(RLIMIT_NOFILE, &avant);
    return r;
}

QByteArray executerDans(Milieu milieu, const std::function<QByteArray()> &etape)
{
    switch (milieu) {
    case Milieu::SansPrivileges: {
        const ResultatEnfant r = executerSansPrivileges(etape);
        return r.reussi ? r.sortie : "<" + r.probleme.toUtf8() + ">";
    }
    case Milieu::SansDescripteurLibre:
        return sansDescripteurLibre(etape);
    case Milieu::Ordinaire:
        break;
    }
    return etape();
}
