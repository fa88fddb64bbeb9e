// The help window and the four help pages.
#include <QtTest>
#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBrowser>
#include "game/cartes.h"
#include "game/etat.h"
#include "support/table.h"
#include "ui/aide.h"
// What a screen reader is told is read with the platform's accessibility
// switched on, which only Qt's private interface can do (headers in
// qt6-base-private-dev): without them, the cases that need it are skipped.
#if __has_include(<qpa/qplatformaccessibility.h>)
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#define MERLE_ACCESSIBILITE_ACTIVABLE
#endif

namespace {

// What the screen reader was told: focus moves, and objects that came or went.
struct Evenement {
    QAccessible::Event type;
    QAccessible::Role role;
    QString nom;
};
QList<Evenement> evenements;

void enregistrer(QAccessibleEvent *e)
{
    const QAccessible::Event t = e->type();
    if (t != QAccessible::Focus && t != QAccessible::ObjectCreated && t != QAccessible::ObjectDestroyed)
        return;
    if (QAccessibleInterface *i = e->accessibleInterface())
        evenements.append({t, i->role(), i->text(QAccessible::Name)});
}

// The focus moves the screen reader was told of, as "lien Sommaire" or
// "page Règle du jeu".
QStringList focusDits()
{
    QStringList dits;
    for (const Evenement &e : std::as_const(evenements)) {
        if (e.type != QAccessible::Focus)
            continue;
        const char *quoi = e.role == QAccessible::Link ? "lien" : e.role == QAccessible::Document ? "page" : "autre";
        dits << QLatin1String(quoi) + QLatin1Char(' ') + e.nom;
    }
    return dits;
}

QString dernierFocus()
{
    const QStringList dits = focusDits();
    return dits.isEmpty() ? QString() : dits.last();
}

#define EXIGER_LECTEUR_D_ECRAN()                                                              \
    if (!QAccessible::isActive())                                                               \
        QSKIP("Qt's private headers are missing: accessibility cannot be switched on here")

const QString dossierPages = QStringLiteral(MERLE_SOURCE_DIR "/help");

// Copies the real help pages and their pictures into a folder.
void copierPages(const QString &dossier)
{
    const QDir source(dossierPages);
    const QStringList fichiers = source.entryList(QDir::Files);
    QVERIFY(fichiers.contains(QStringLiteral("Som.htm")));
    for (const QString &f : fichiers)
        QVERIFY(QFile::copy(source.filePath(f), dossier + QLatin1Char('/') + f));
}

void ecrire(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(contenu), contenu.size());
}

QByteArray lire(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString texteAffiche()
{
    return Form2 ? Form2->tt->toPlainText() : QString();
}

QUrl sourceAttendue(const QString &dossier, const QString &page)
{
    return QUrl::fromLocalFile(dossier + QLatin1Char('/') + page);
}

int nombreDeFenetresAide()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<TForm2 *>(w))
            ++n;
    return n;
}

// The help menu item that shows a page, by the page's file name.
QAction *itemDe(Tprincipale &f, const QString &page)
{
    if (page == QLatin1String("Som.htm"))
        return f.Sommaire1;
    if (page == QLatin1String("regle.htm"))
        return f.Rgledujeu1;
    if (page == QLatin1String("com.htm"))
        return f.Commentjouer1;
    return f.Apropos1;
}

void lesQuatrePages()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("titre");
    QTest::newRow("Sommaire") << "Som.htm" << "Merle Vert — Aide";
    QTest::newRow("Règle du jeu") << "regle.htm" << "Règle du jeu";
    QTest::newRow("Comment jouer") << "com.htm" << "Comment jouer";
    QTest::newRow("A propos") << "aprop.htm" << "À propos de Merle Vert";
}

// A help page shown with its menu item, as a screen reader sees it.
QAccessibleInterface *pageLue(Table &t, QAction *item)
{
    t.plateforme->oublier();   // the start-up read of a missing best-score file
    copierPages(t.dossier);
    item->trigger();
    if (!Form2 || !QTest::qWaitForWindowActive(Form2) || !Form2->tt->hasFocus())
        return nullptr;
    return QAccessible::queryAccessibleInterface(Form2->tt);
}

// What a screen reader reads on from an offset: line after line, to the
// end of the text.
QStringList lireJusquAuBout(QAccessibleTextInterface *texte, int depuis)
{
    QStringList lignes;
    for (int o = depuis, derniere = -1; o < texte->characterCount();) {
        int debut = 0, fin = 0;
        const QString ligne = texte->textAtOffset(o, QAccessible::LineBoundary, &debut, &fin);
        if (fin != derniere && !ligne.trimmed().isEmpty())
            lignes << ligne;
        o = std::max(fin, o + 1);
        derniere = fin;
    }
    return lignes;
}

} // namespace

class TestAide : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void chaqueItemMontreSaPage_data();
    void chaqueItemMontreSaPage();
    void laFenetreAide();
    void dossierLuAuMomentDuClic();
    void memePageReluDuDisque();
    void regleRemplaceLaPageDansLaMemeFenetre();
    void pageIntrouvable_data();
    void pageIntrouvable();
    void demarreALaRacine();
    void pageRevenueApresAbsence();
    void fermerCacheSeulement();
    void fenetrePrincipaleResteUtilisable();
    void fenetreAideDetruiteAvecLaFenetrePrincipale();
    void liensEntrePages();
    void lienVersPageAbsente();
    void pagesPropres_data();
    void pagesPropres();
    void tableDesCagnottesConformeAuJeu();
    void luAuClavierParUnLecteurDEcran();
    void lireDepuisUnLien();
    void tabulationAuBoutDesLiens_data();
    void tabulationAuBoutDesLiens();
};

void TestAide::initTestCase()
{
    // As when a screen reader runs: the events go to the handler instead of
    // the bus.
    QAccessible::installUpdateHandler(enregistrer);
#ifdef MERLE_ACCESSIBILITE_ACTIVABLE
    QPlatformAccessibility *pa = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(pa);
    pa->setActive(true);
    QVERIFY(QAccessible::isActive());
#endif
}

void TestAide::init()
{
    QCOMPARE(Form2, nullptr);   // each test starts without a help window
    evenements.clear();
}

void TestAide::chaqueItemMontreSaPage_data()
{
    lesQuatrePages();
}

void TestAide::chaqueItemMontreSaPage()
{
    QFETCH(QString, page);
    QFETCH(QString, titre);
    Table t;
    t.plateforme->oublier();   // the start-up read of a missing best-score file
    copierPages(t.dossier);
    itemDe(*t.fenetre, page)->trigger();
    QVERIFY(Form2);
    QVERIFY(Form2->isVisible());
    QCOMPARE(Form2->tt->source(), sourceAttendue(t.dossier, page));
    QVERIFY2(texteAffiche().contains(titre), qPrintable(texteAffiche().left(200)));
    QVERIFY(t.plateforme->boites.isEmpty());
}

void TestAide::laFenetreAide()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    t.fenetre->Sommaire1->trigger();
    QVERIFY(Form2);
    QVERIFY(Form2->isWindow());
    QVERIFY(Form2->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Form2->windowTitle(), QStringLiteral("Aide"));
    QCOMPARE(Form2->size(), QSize(719, 480));
    QCOMPARE(Form2->parentWidget(), t.fenetre.get());
    // The browser fills the whole client area and holds the focus.
    QCOMPARE(Form2->tt->geometry(), Form2->rect());
    Form2->resize(900, 600);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(Form2->tt->geometry(), Form2->rect());
    QCOMPARE(Form2->focusWidget(), Form2->tt);
}

void TestAide::dossierLuAuMomentDuClic()
{
    Table t;
    t.plateforme->oublier();
    QTemporaryDir a, b;
    ecrire(a.filePath(QStringLiteral("regle.htm")), "<html><body><p>Page du dossier A</p></body></html>");
    ecrire(b.filePath(QStringLiteral("regle.htm")), "<html><body><p>Page du dossier B</p></body></html>");

    QDir::setCurrent(a.path());
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("dossier A")));

    QDir::setCurrent(b.path());
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("dossier B")));
    QCOMPARE(Form2->tt->source(), sourceAttendue(b.path(), QStringLiteral("regle.htm")));

    // The folder comes from the platform, asked at the moment of the click.
    t.plateforme->repertoire = a.path();
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("dossier A")));
    QVERIFY(t.plateforme->boites.isEmpty());
}

void TestAide::memePageReluDuDisque()
{
    Table t;
    t.plateforme->oublier();
    const QString chemin = t.dossier + QStringLiteral("/com.htm");
    ecrire(chemin, "<html><body><p>Première version</p></body></html>");
    t.fenetre->Commentjouer1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("Première version")));
    ecrire(chemin, "<html><body><p>Seconde version</p></body></html>");
    t.fenetre->Commentjouer1->trigger();
    QVERIFY2(texteAffiche().contains(QStringLiteral("Seconde version")), qPrintable(texteAffiche()));
}

void TestAide::regleRemplaceLaPageDansLaMemeFenetre()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    t.fenetre->Sommaire1->trigger();
    QPointer<TForm2> premiere = Form2;
    QVERIFY(premiere && premiere->isVisible());

    t.fenetre->Rgledujeu1->trigger();
    QCOMPARE(Form2, premiere.data());
    QVERIFY(Form2->isVisible());
    QCOMPARE(Form2->tt->source(), sourceAttendue(t.dossier, QStringLiteral("regle.htm")));
    QVERIFY(texteAffiche().contains(QStringLiteral("Règle du jeu")));
    QVERIFY(!texteAffiche().contains(QStringLiteral("Pour commencer tout de suite")));
    QCOMPARE(nombreDeFenetresAide(), 1);
}

void TestAide::pageIntrouvable_data()
{
    lesQuatrePages();
}

void TestAide::pageIntrouvable()
{
    QFETCH(QString, page);
    Table t;   // a fresh empty folder: no help page there
    t.plateforme->oublier();
    itemDe(*t.fenetre, page)->trigger();
    QVERIFY(Form2);
    QVERIFY(Form2->isVisible());
    const QString texte = texteAffiche();
    QVERIFY2(texte.contains(QStringLiteral("La page d'aide « %1 » est introuvable.").arg(page)),
             qPrintable(texte));
    QVERIFY2(texte.contains(QStringLiteral("Elle a été cherchée dans : ") + t.dossier), qPrintable(texte));
    QVERIFY(t.plateforme->boites.isEmpty());
    QCOMPARE(nombreDeFenetresAide(), 1);
}

void TestAide::demarreALaRacine()
{
    // From "/", the path is "//Som.htm": still a file, not a network host.
    Table t;
    t.plateforme->oublier();
    t.plateforme->repertoire = QStringLiteral("/");
    if (QFileInfo::exists(QStringLiteral("/Som.htm")))
        QSKIP("a page lies at the root of this system");
    t.fenetre->Sommaire1->trigger();
    QVERIFY(Form2->isVisible());
    QVERIFY2(texteAffiche().contains(QStringLiteral("La page d'aide « Som.htm » est introuvable.")),
             qPrintable(texteAffiche()));
    QVERIFY(texteAffiche().contains(QStringLiteral("Elle a été cherchée dans : /\n")));
    QVERIFY(t.plateforme->boites.isEmpty());
}

void TestAide::pageRevenueApresAbsence()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    const QString regle = t.dossier + QStringLiteral("/regle.htm");
    const QByteArray contenu = lire(regle);

    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("La valeur sautée")));

    // Gone: the old page must not stay on screen as if it had been read.
    QVERIFY(QFile::remove(regle));
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("est introuvable")));
    QVERIFY(!texteAffiche().contains(QStringLiteral("La valeur sautée")));

    // Back again: the same choice reads it again.
    ecrire(regle, contenu);
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(texteAffiche().contains(QStringLiteral("La valeur sautée")));
    QVERIFY(t.plateforme->boites.isEmpty());
}

void TestAide::fermerCacheSeulement()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    t.fenetre->Apropos1->trigger();
    QPointer<TForm2> fenetre = Form2;
    QVERIFY(fenetre->isVisible());

    QVERIFY(fenetre->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(fenetre);
    QCOMPARE(Form2, fenetre.data());
    QVERIFY(!fenetre->isVisible());

    t.fenetre->Sommaire1->trigger();
    QCOMPARE(Form2, fenetre.data());
    QVERIFY(fenetre->isVisible());
    QVERIFY(texteAffiche().contains(QStringLiteral("Pour commencer tout de suite")));
    QCOMPARE(nombreDeFenetresAide(), 1);
}

void TestAide::fenetrePrincipaleResteUtilisable()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    t.fenetre->Rgledujeu1->trigger();
    QVERIFY(Form2->isVisible());
    QCOMPARE(Form2->windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(t.fenetre->isEnabled());
    QVERIFY(t.fenetre->Panel1->isEnabled());
    QVERIFY(t.fenetre->Fichier->isEnabled());

    // A game can be started and dealt with the help on screen.
    QTest::mouseClick(t.fenetre->Button1, Qt::LeftButton);
    QVERIFY(partieEnCours);
    QCOMPARE(etat.tresor[0], 1500);
    QTest::mouseClick(t.fenetre->Button2, Qt::LeftButton);
    QCOMPARE(etat.cartesRestantes[0], 12);
    QVERIFY(Form2->isVisible());
}

void TestAide::fenetreAideDetruiteAvecLaFenetrePrincipale()
{
    QPointer<TForm2> aide;
    {
        Table t;
    t.plateforme->oublier();
        t.fenetre->Sommaire1->trigger();
        aide = Form2;
        QVERIFY(aide);
    }
    QVERIFY(!aide);
    QCOMPARE(Form2, nullptr);   // no dangling global once the main window is gone
}

void TestAide::liensEntrePages()
{
    // Every link and picture of every page names a file that is there.
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#]+)"));
    QStringList liensDuSommaire;
    for (const QString page : {"Som.htm", "regle.htm", "com.htm", "aprop.htm"}) {
        const QString html = QString::fromUtf8(lire(dossierPages + QLatin1Char('/') + page));
        QVERIFY2(!html.isEmpty(), qPrintable(page));
        auto it = reference.globalMatch(html);
        while (it.hasNext()) {
            const QString cible = it.next().captured(1);
            QVERIFY2(QFileInfo::exists(dossierPages + QLatin1Char('/') + cible),
                     qPrintable(page + QStringLiteral(" -> ") + cible));
            if (page == QLatin1String("Som.htm"))
                liensDuSommaire << cible;
        }
    }
    for (const QString autre : {"regle.htm", "com.htm", "aprop.htm"})
        QVERIFY2(liensDuSommaire.contains(autre), qPrintable(autre));

    // And the browser follows them from the contents page: the k-th link,
    // reached with Tab and opened with Return, as a keyboard user does.
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    int rangDuLien = 0;
    for (const QString autre : {"regle.htm", "com.htm", "aprop.htm"}) {
        t.fenetre->Sommaire1->trigger();
        ++rangDuLien;
        for (int k = 0; k < rangDuLien; ++k)
            QTest::keyClick(Form2->tt, Qt::Key_Tab);
        QTest::keyClick(Form2->tt, Qt::Key_Return);
        QCOMPARE(Form2->tt->source().adjusted(QUrl::NormalizePathSegments), sourceAttendue(t.dossier, autre));
        QVERIFY(!texteAffiche().contains(QStringLiteral("La page d'aide")));
    }
    // The rules page shows its pictures of the cards that take.
    Form2->tt->setSource(sourceAttendue(t.dossier, QStringLiteral("regle.htm")));
    const QVariant image =
        Form2->tt->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("prend-roi-coeur.png")));
    QVERIFY(image.isValid());
    QVERIFY(!qvariant_cast<QByteArray>(image).isEmpty() || !qvariant_cast<QImage>(image).isNull());
}

void TestAide::lienVersPageAbsente()
{
    Table t;
    t.plateforme->oublier();
    copierPages(t.dossier);
    QVERIFY(QFile::remove(t.dossier + QStringLiteral("/com.htm")));
    t.fenetre->Sommaire1->trigger();
    QTest::keyClick(Form2->tt, Qt::Key_Tab);   // the second link of the contents page: com.htm
    QTest::keyClick(Form2->tt, Qt::Key_Tab);
    QTest::keyClick(Form2->tt, Qt::Key_Return);
    QVERIFY2(texteAffiche().contains(QStringLiteral("La page d'aide « com.htm » est introuvable.")),
             qPrintable(texteAffiche()));
    QVERIFY(texteAffiche().contains(t.dossier));
    QVERIFY(t.plateforme->boites.isEmpty());
}

void TestAide::pagesPropres_data()
{
    lesQuatrePages();
}

void TestAide::pagesPropres()
{
    QFETCH(QString, page);
    QFETCH(QString, titre);
    const QByteArray octets = lire(dossierPages + QLatin1Char('/') + page);
    QVERIFY(!octets.isEmpty());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString html = utf8(octets);
    QVERIFY2(!utf8.hasError(), "not valid UTF-8");
    QVERIFY(html.contains(
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">")));

    for (const char *balise : {"html", "head", "body", "title", "table", "ul", "ol", "tr", "p"}) {
        const QRegularExpression ouvrante(QStringLiteral("<%1[ >]").arg(QLatin1String(balise)));
        const QString fermante = QStringLiteral("</%1>").arg(QLatin1String(balise));
        QVERIFY2(html.count(ouvrante) == html.count(fermante), balise);
    }
    for (const char *mot : {"TODO", "FIXME", "XXX", "Lorem", "placeholder", "Placeholder", "TBD", "the ",
                            "The ", "rules", "Rules", "click", "Click"})
        QVERIFY2(!html.contains(QLatin1String(mot)), mot);

    // The browser decodes the accents as written.
    QTextBrowser navigateur;
    navigateur.setSource(QUrl::fromLocalFile(dossierPages + QLatin1Char('/') + page));
    QVERIFY2(navigateur.toPlainText().contains(titre), qPrintable(navigateur.toPlainText().left(200)));
    QVERIFY(!navigateur.toPlainText().contains(QChar::ReplacementCharacter));
    QVERIFY(!navigateur.toPlainText().contains(QStringLiteral("Ã")));
}

void TestAide::tableDesCagnottesConformeAuJeu()
{
    // The rules page tells the stakes the game really takes.
    const QString html = QString::fromUtf8(lire(dossierPages + QStringLiteral("/regle.htm")));
    const QMap<CardNumber, QString> noms = {{20, QStringLiteral("7 de carreau")},
                                            {23, QStringLiteral("10 de carreau")},
                                            {11, QStringLiteral("valet de trèfle")},
                                            {39, QStringLiteral("roi de cœur")},
                                            {51, QStringLiteral("dame de pique")}};
    int total = 0;
    for (const Cagnotte &c : tableCagnottes) {
        const QRegularExpression ligne(
            QStringLiteral("<tr><td>%1</td>.*<td class=\"nombre\">%2 Euros</td><td class=\"nombre\">%3 Euros</td></tr>")
                .arg(QRegularExpression::escape(noms.value(c.carte)))
                .arg(c.mise)
                .arg(c.mise * nbSieges));
        QVERIFY2(ligne.match(html).hasMatch(), qPrintable(noms.value(c.carte)));
        total += c.mise;
    }
    QVERIFY(html.contains(QStringLiteral("%1 Euros</td><td class=\"total nombre\">%2 Euros")
                              .arg(total)
                              .arg(total * nbSieges)));
}

void TestAide::luAuClavierParUnLecteurDEcran()
{
    // What a screen reader reads of the rules page, as the arrows move the
    // caret: Down reads the next line, a table row is one line with its
    // cells joined by commas, and a picture reads as its card. Tab then
    // gives the focus to the link it selects, an object of the page.
    Table t;
    QAccessibleInterface *page = pageLue(t, t.fenetre->Rgledujeu1);
    QVERIFY(page);
    QCOMPARE(QAccessible::queryAccessibleInterface(Form2)->text(QAccessible::Name),
             QStringLiteral("Aide : Règle du jeu"));
    QAccessibleTextInterface *texte = page->textInterface();
    QVERIFY(texte);
    QStringList lignes;
    for (int k = 0; k < 60; ++k) {
        QTest::keyClick(Form2->tt, Qt::Key_Down);
        int debut = 0, fin = 0;
        lignes << texte->textAtOffset(texte->cursorPosition(), QAccessible::LineBoundary, &debut, &fin);
    }
    QCOMPARE(lignes.first(), QStringLiteral("Règle du jeu"));
    QVERIFY(!lignes.join(QLatin1Char('\n')).contains(QChar::ObjectReplacementCharacter));
    for (const Cagnotte &c : tableCagnottes) {
        // "7 de carreau, Le 7 de carreau, qui prend la cagnotte au centre, au centre, 50 Euros, 200 Euros"
        const QRegularExpression rangee(
            QStringLiteral("^%1, L[ae] %1, qui prend la cagnotte (.+), \\1, %2 Euros, %3 Euros$")
                .arg(QRegularExpression::escape(nomCarte(c.carte)))
                .arg(c.mise)
                .arg(c.mise * nbSieges),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(lignes.indexOf(rangee) >= 0, qPrintable(nomCarte(c.carte)));
    }

    EXIGER_LECTEUR_D_ECRAN();
    const int enfants = page->childCount();
    QTest::keyClick(Form2->tt, Qt::Key_Tab);
    QCOMPARE(dernierFocus(), QStringLiteral("lien Sommaire"));
    QAccessibleInterface *lien = page->focusChild();
    QVERIFY(lien);
    QCOMPARE(lien->role(), QAccessible::Link);
    QCOMPARE(lien->parent(), page);
    QCOMPARE(page->childCount(), enfants + 1);
    QCOMPARE(page->child(page->indexOfChild(lien)), lien);
    // Straight on to the next link: the page is not told in between.
    evenements.clear();
    QTest::keyClick(Form2->tt, Qt::Key_Tab);
    QCOMPARE(focusDits(), QStringList{QStringLiteral("lien Comment jouer")});
}

void TestAide::lireDepuisUnLien()
{
    // A screen reader asked to read on from the focus reads the focused
    // object's text line by line, from its caret to the end: from a link
    // that Tab selected, that is from the link's line to the end of the page.
    EXIGER_LECTEUR_D_ECRAN();
    Table t;
    QAccessibleInterface *page = pageLue(t, t.fenetre->Rgledujeu1);
    QVERIFY(page);
    const QStringList toute = lireJusquAuBout(page->textInterface(), 0);
    for (int k = 0; k < 4; ++k)   // the fourth link: "Comment jouer", in the page's first paragraph
        QTest::keyClick(Form2->tt, Qt::Key_Tab);
    QAccessibleInterface *lien = page->focusChild();
    QVERIFY(lien);
    QCOMPARE(lien->text(QAccessible::Name), QStringLiteral("Comment jouer"));
    QAccessibleTextInterface *texte = lien->textInterface();
    QVERIFY2(texte, "the link has no text to read on from");
    const QStringList lu = lireJusquAuBout(texte, texte->cursorPosition());
    QVERIFY2(lu.first().contains(QStringLiteral("voyez Comment jouer")), qPrintable(lu.first()));
    QVERIFY(lu.size() > 20);
    QCOMPARE(lu, toute.mid(toute.size() - lu.size()));
    QCOMPARE(dernierFocus(), QStringLiteral("lien Comment jouer"));   // reading moved nothing

    // Return follows the link: what is read is the new page.
    QTest::keyClick(Form2->tt, Qt::Key_Return);
    const QStringList suivante = lireJusquAuBout(page->textInterface(), 0);
    QVERIFY(suivante.contains(QStringLiteral("Comment jouer")));
    QVERIFY(!suivante.contains(QStringLiteral("Règle du jeu")));
}

void TestAide::tabulationAuBoutDesLiens_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("tabulations");   // Tab presses that reach the link the last key leaves
    QTest::addColumn<bool>("suivant");      // that key: Tab, or Shift+Tab
    QTest::newRow("Tab après le dernier lien") << "regle.htm" << 5 << true;
    QTest::newRow("Maj+Tab avant le premier") << "Som.htm" << 1 << false;
}

void TestAide::tabulationAuBoutDesLiens()
{
    // Past the last link, or before the first, Qt drops the selection and
    // leaves the caret where it was: the reader is told that the page has
    // the focus again, and the link leaves the page's children.
    QFETCH(QString, page);
    QFETCH(int, tabulations);
    QFETCH(bool, suivant);
    EXIGER_LECTEUR_D_ECRAN();
    Table t;
    QAccessibleInterface *lue = pageLue(t, itemDe(*t.fenetre, page));
    QVERIFY(lue);
    const int enfants = lue->childCount();
    for (int k = 0; k < tabulations; ++k)
        QTest::keyClick(Form2->tt, Qt::Key_Tab);
    const QString premier = dernierFocus();
    QAccessibleInterface *lien = lue->focusChild();
    QVERIFY(lien && lien->role() == QAccessible::Link);
    const QString nom = lien->text(QAccessible::Name);
    const QAccessible::Id id = QAccessible::uniqueId(lien);
    evenements.clear();

    if (suivant)
        QTest::keyClick(Form2->tt, Qt::Key_Tab);
    else
        QTest::keyClick(Form2->tt, Qt::Key_Backtab, Qt::ShiftModifier);   // Shift+Tab, as X gives it
    QVERIFY(!Form2->tt->textCursor().hasSelection());
    QCOMPARE(focusDits(), QStringList{QStringLiteral("page ") + lue->text(QAccessible::Name)});
    QVERIFY(std::any_of(evenements.cbegin(), evenements.cend(), [&](const Evenement &e) {
        return e.type == QAccessible::ObjectDestroyed && e.role == QAccessible::Link && e.nom == nom;
    }));
    QCOMPARE(QAccessible::accessibleInterface(id), nullptr);
    QCOMPARE(lue->childCount(), enfants);
    QVERIFY(lue->focusChild() == lue);   // the page itself

    // Tab then starts again from the first link.
    QTest::keyClick(Form2->tt, Qt::Key_Tab);
    QCOMPARE(dernierFocus(), suivant ? QStringLiteral("lien Sommaire") : premier);
}

QTEST_MAIN(TestAide)
#include "test_aide.moc"
