#pragma once
// Small file helpers shared by the tests of the files the game writes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

// Writes the bytes as they are (a test fails if the file cannot be written).
inline void ecrireOctets(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
}

// The file's bytes, or "<absent>" when it cannot be read.
inline QByteArray lireOctets(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

// Every entry of a folder, hidden ones included, by name.
inline QStringList entrees(const QString &dossier)
{
    return QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                   QDir::Name);
}

// Makes the file taille bytes long by a hole of zero bytes after what it
// holds: a file of gigabytes that takes no room on the disk.
inline void grossir(const QString &chemin, qint64 taille)
{
    QCOMPARE(::truncate(QFile::encodeName(chemin).constData(), off_t(taille)), 0);
}

// The bytes this process has read from files so far (rchar of /proc/self/io),
// -1 when it cannot be known.
inline qint64 octetsLusParLeProcessus()
{
    QFile f(QStringLiteral("/proc/self/io"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &ligne : f.readAll().split('\n'))
        if (ligne.startsWith("rchar:"))
            return ligne.mid(6).trimmed().toLongLong();
    return -1;
}

// The mode bits of a file (not of a link it may be), -1 when it is absent.
inline int modeDe(const QString &chemin)
{
    struct stat infos;
    return ::stat(QFile::encodeName(chemin).constData(), &infos) == 0 ? int(infos.st_mode & 07777) : -1;
}
