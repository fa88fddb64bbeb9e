#include "ui/imagebrute.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace imagebrute {

namespace {
constexpr char signature[4] = {'M', 'V', 'I', 'M'};
constexpr qsizetype enTete = 16;
constexpr int coteMax = 16384;

bool formatAdmis(int f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

void liberer(void *donnees)
{
    delete static_cast<QByteArray *>(donnees);
}
} // namespace

bool ecrire(const QImage &image, const QString &chemin)
{
    if (image.isNull() || !formatAdmis(image.format()))
        return false;
    QByteArray d(enTete, '\0');
    std::memcpy(d.data(), signature, 4);
    qToLittleEndian<quint32>(image.width(), d.data() + 4);
    qToLittleEndian<quint32>(image.height(), d.data() + 8);
    qToLittleEndian<quint32>(image.format(), d.data() + 12);
    for (int y = 0; y < image.height(); ++y)
        d.append(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(d) == d.size() && f.flush();
}

QImage lire(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return QImage();
    // Held on the heap for as long as the image uses it.
    auto *d = new QByteArray(fichier.readAll());
    if (d->size() < enTete || std::memcmp(d->constData(), signature, 4) != 0) {
        delete d;
        return QImage();
    }
    const auto *p = reinterpret_cast<const uchar *>(d->constData());
    const quint32 l = qFromLittleEndian<quint32>(p + 4);
    const quint32 h = qFromLittleEndian<quint32>(p + 8);
    const quint32 f = qFromLittleEndian<quint32>(p + 12);
    if (l == 0 || h == 0 || l > coteMax || h > coteMax || !formatAdmis(int(f))
        || d->size() != enTete + qsizetype(l) * h * 4) {
        delete d;
        return QImage();
    }
    return QImage(p + enTete, int(l), int(h), qsizetype(l) * 4, QImage::Format(f), liberer, d);
}

} // namespace imagebrute
