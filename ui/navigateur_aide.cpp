// The browser of the help window: the pages, the keyboard caret and the
// links. How a screen reader reads it is in ui/lecture_aide.cpp.
#include "ui/navigateur_aide.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include "ui/aide.h"
#include "ui/lecture_aide.h"

namespace {

// The browser of the help window. Every page it is asked to show, from the
// menu or from a link inside a page, is read through loadResource, so a
// missing page gives the same French text either way instead of an empty
// browser, and links from that text still resolve beside the missing page.
// The page has a keyboard caret, so that a screen reader reads the line,
// word or character the arrows reach.
class NavigateurAide : public QTextBrowser {
    Q_OBJECT
public:
    explicit NavigateurAide(QWidget *parent) : QTextBrowser(parent)
    {
        setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    }

    QVariant loadResource(int genre, const QUrl &nom) override
    {
        if (genre == QTextDocument::HtmlResource && nom.isLocalFile()) {
            const QFileInfo fichier(nom.toLocalFile());
            if (!fichier.isFile() || !fichier.isReadable())
                return TForm2::texteIntrouvable(fichier.fileName(), fichier.absolutePath());
        }
        return QTextBrowser::loadResource(genre, nom);
    }

protected:
    // Tab and Shift+Tab select the next or the previous link, and past the
    // last one drop the selection. Qt tells the screen reader nothing of it.
    bool focusNextPrevChild(bool suivant) override
    {
        const bool fait = QTextBrowser::focusNextPrevChild(suivant);
        signalerTabulation(this);
        return fait;
    }
};

} // namespace

QTextBrowser *creerNavigateurAide(QWidget *parent)
{
    lireCommeDocument(NavigateurAide::staticMetaObject);
    return new NavigateurAide(parent);
}

#include "navigateur_aide.moc"
