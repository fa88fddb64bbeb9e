#pragma once
// Small file helpers shared by the tests of the files the game writes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>

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
