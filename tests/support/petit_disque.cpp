#include "support/petit_disque.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
QString derniereErreur(const char *etape)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(etape), QString::fromLocal8Bit(std::strerror(errno)));
}
} // namespace

PetitDisque::PetitDisque(const QString &dossierDonne, int kio) : dossier(dossierDonne)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        raison = derniereErreur("unshare");
        return;
    }
    // Keep our mounts from spreading back to the system's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        raison = derniereErreur("mount --make-rprivate /");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kio) + "k,mode=0755";
    if (::mount("merle-test", QFile::encodeName(dossier).constData(), "tmpfs", 0, options.constData()) != 0) {
        raison = derniereErreur("mount tmpfs");
        return;
    }
    estMonte = true;
}

PetitDisque::~PetitDisque()
{
    if (estMonte)
        ::umount2(QFile::encodeName(dossier).constData(), MNT_DETACH);
}

bool PetitDisque::remplir()
{
    if (!estMonte)
        return false;
    const QByteArray nom = QFile::encodeName(dossier + QStringLiteral("/remplissage"));
    const int fd = ::open(nom.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == ENOSPC;
    const char bloc[512] = {};
    bool plein = false;
    for (int i = 0; i < 1 << 20; ++i) {
        if (::write(fd, bloc, sizeof bloc) < 0) {
            if (errno == EINTR)
                continue;
            plein = errno == ENOSPC;
            break;
        }
    }
    ::close(fd);
    return plein;
}
