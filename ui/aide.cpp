// The help window and the four "Aide" menu items of the main window.
#include "ui/aide.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include "platform/plateforme.h"
#include "ui/Unit1.h"
#include "ui/images.h"
#include "ui/navigateur_aide.h"

TForm2 *Form2 = nullptr;

QString TForm2::texteIntrouvable(const QString &page, const QString &dossier)
{
    return QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=utf-8\"><title>Page d'aide introuvable</title></head><body>"
                          "<h2 style=\"color:#006400\">Page d'aide introuvable</h2>"
                          "<p>La page d'aide «\u00a0%1\u00a0» est introuvable.</p>"
                          "<p>Elle a été cherchée dans\u00a0: <tt>%2</tt></p>"
                          "<p>Les pages d'aide sont lues dans le dossier d'où le jeu a été "
                          "lancé. Lancez Merle Vert depuis le dossier qui contient les pages "
                          "Som.htm, regle.htm, com.htm et aprop.htm.</p></body></html>")
        .arg(page.toHtmlEscaped(), dossier.toHtmlEscaped());
}

TForm2::TForm2(QWidget *parent) : QWidget(parent)
{
    // A window of its own even when the main window owns it, kept above it.
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Aide"));
    setWindowIcon(iconeJeu());
    setGeometry(218, 179, 719, 480);

    tt = creerNavigateurAide(this);
    tt->setObjectName(QStringLiteral("tt"));
    tt->setOpenExternalLinks(true);
    auto *disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->setSpacing(0);
    disposition->addWidget(tt);
    setFocusProxy(tt);
    tt->setFocus();
    connect(tt, &QTextBrowser::sourceChanged, this, &TForm2::nommerPage);
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::montrerPage(const QString &chemin)
{
    // The page is read again even when it is the one already shown: the
    // file may have changed, appeared or disappeared since.
    // cleanPath: started from "/", the path begins with "//", which a URL
    // would take for a network host.
    const QUrl page = QUrl::fromLocalFile(QDir::cleanPath(chemin));
    if (tt->source() == page)
        tt->reload();
    else
        tt->setSource(page);
    nommerPage();
    show();
    raise();
    activateWindow();
    tt->setFocus();
}

void TForm2::nommerPage()
{
    // The caption stays "Aide"; a screen reader, which says the window's
    // name when it opens, is told the page too: "Aide : Règle du jeu". The
    // page itself is named by its title, said when a link brings another.
    QString titre = tt->documentTitle().trimmed();
    titre.remove(QRegularExpression(QStringLiteral("^Merle Vert\\s*-\\s*")));
    tt->setAccessibleName(titre);
    setAccessibleName(titre.isEmpty() ? windowTitle() : windowTitle() + QStringLiteral(" : ") + titre);
}

void Tprincipale::montrerAide(const QString &page)
{
    if (!Form2)
        Form2 = new TForm2(this);
    Form2->montrerPage(plateforme().repertoireCourant() + page);
}

void Tprincipale::Sommaire1Click()
{
    montrerAide(QStringLiteral("/Som.htm"));
}

void Tprincipale::Rgledujeu1Click()
{
    montrerAide(QStringLiteral("/regle.htm"));
}

void Tprincipale::Commentjouer1Click()
{
    montrerAide(QStringLiteral("/com.htm"));
}

void Tprincipale::Apropos1Click()
{
    montrerAide(QStringLiteral("/aprop.htm"));
}

