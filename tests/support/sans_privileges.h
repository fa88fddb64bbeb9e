#pragma once
// Root is stopped by no file permission. To meet a refused access for real,
// a test run as root runs the step in a forked child that has dropped to the
// unprivileged user and group 65534 (nobody, nogroup). Run by another user,
// such a test is skipped: only root may become another user.
#include <QByteArray>
#include <QString>
#include <QTest>
#include <functional>
#include <unistd.h>

// Skips the test, or the row, unless it runs as root.
#define SAUTER_SANS_ROOT()                                                                   \
    do {                                                                                     \
        if (::geteuid() != 0)                                                                \
            QSKIP("only root may act as uid 65534 or give a file to it: run the tests as root"); \
    } while (false)

struct ResultatEnfant {
    bool reussi = false;     // the child dropped its rights and ran the step to the end
    QByteArray sortie;       // what the step returned
    QString probleme;        // why it did not succeed, when it did not
};

// Runs travail in the child and hands back the bytes it returns. The step
// runs in a copy of the test process: what it changes stays in the child, so
// it must report what the test needs in its result (it must not use QTest's
// checks, whose failures would be lost). Work in a folder under /tmp: the
// unprivileged user cannot enter /root.
ResultatEnfant executerSansPrivileges(const std::function<QByteArray()> &travail);

// The same in a child that keeps the test's rights: for a step that changes
// what is process-wide (the umask), so that the change cannot leak into the
// tests that follow.
ResultatEnfant executerDansUnEnfant(const std::function<QByteArray()> &travail);

constexpr unsigned idSansPrivileges = 65534;

// Lays a symbolic link owned by the unprivileged user, as another user of
// the machine would; "" or why it could not.
QString lienSansPrivileges(const QString &cible, const QString &lien);

// Runs the step with the soft open-file limit at the lowest free descriptor,
// so that the next open fails with "too many open files", and restores the
// limit. A step that could not be set up returns "<open>", "<getrlimit>" or
// "<setrlimit>".
QByteArray sansDescripteurLibre(const std::function<QByteArray()> &etape);

// Where a step meets its fault for real: as it is, as the unprivileged user,
// or with no free file descriptor.
enum class Milieu { Ordinaire, SansPrivileges, SansDescripteurLibre };

// Runs the step there and returns what it returned; a child that could not
// run it returns "<" followed by why and ">".
QByteArray executerDans(Milieu milieu, const std::function<QByteArray()> &etape);
