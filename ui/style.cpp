#include "ui/style.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace style {

QFont police(int hauteurPx, bool italique)
{
    // "MS Sans Serif" is not found on Linux; DejaVu Sans comes with Qt's
    // dependencies and reads well at these small pixel heights.
    static const QString famille = QFontDatabase::families().contains(QStringLiteral("MS Sans Serif"))
                                       ? QStringLiteral("MS Sans Serif")
                                       : QStringLiteral("DejaVu Sans");
    QFont f(famille);
    f.setPixelSize(hauteurPx);
    f.setItalic(italique);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont::Weight poidsInstalle(const QString &famille, int poids)
{
    int proche = -1;
    for (const QString &style : QFontDatabase::styles(famille)) {
        if (QFontDatabase::italic(famille, style))
            continue;
        const int w = QFontDatabase::weight(famille, style);
        if (w > 0 && (proche < 0 || qAbs(w - poids) < qAbs(proche - poids)))
            proche = w;
    }
    return QFont::Weight(proche < 0 ? poids : proche);
}

void colorer(QWidget *w, const QColor &fond, const QColor &texte)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, fond);
    pal.setColor(QPalette::WindowText, texte);
    pal.setColor(QPalette::Text, texte);
    pal.setColor(QPalette::ButtonText, texte);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QPoint centre(const QRect &ecran, const QSize &taille)
{
    return QPoint(ecran.x() + (ecran.width() - taille.width()) / 2, ecran.y() + (ecran.height() - taille.height()) / 2);
}

void boutonVert(QWidget *bouton)
{
    QPalette pal = bouton->palette();
    pal.setColor(QPalette::Button, vertFenetre);
    pal.setColor(QPalette::ButtonText, Qt::white);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(190, 225, 160));
    pal.setColor(QPalette::Disabled, QPalette::Button, QColor(110, 165, 60));
    bouton->setPalette(pal);
    bouton->setFont(police(11));
}

QGroupBox *boiteGroupe(const QString &titre, QWidget *parent)
{
    auto *g = new QGroupBox(titre, parent);
    colorer(g, vert, Qt::white);
    g->setFont(police(11));
    // Named after its own title: left unnamed, a box inside another would be
    // read under the outer box's title.
    g->setAccessibleName(titre);
    return g;
}

QLabel *etiquette(QWidget *parent, const QFont &police, const QColor &couleur)
{
    auto *l = new QLabel(parent);
    l->setFont(police);
    colorer(l, vert, couleur);
    l->setAutoFillBackground(false);
    return l;
}

} // namespace style
