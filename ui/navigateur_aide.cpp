// The browser of the help window, and how a screen reader reads it: a page
// with a keyboard caret, pictures read as their alternative text, the link
// that Tab selects told as an object of its own.
#include "ui/navigateur_aide.h"

#include <algorithm>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QPointer>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextBrowser>
#include <QTextTable>
#include <QUrl>
#include "ui/aide.h"

namespace {

// The link that Tab has selected in a help page, as a screen reader sees
// it: an object of its own, named by the link's text, which takes the
// focus, so that the reader says "Comment jouer, lien". (Told as a text
// selection instead, the reader also said the link left as unselected.)
class AccesLien : public QAccessibleInterface {
public:
    explicit AccesLien(QTextBrowser *n) : navigateur(n) {}

    QPointer<QTextBrowser> navigateur;
    int debut = 0, fin = 0;   // the link, as document positions

    // Whether the link is still the browser's selection.
    bool actif() const
    {
        if (!navigateur)
            return false;
        const QTextCursor c = navigateur->textCursor();
        return c.hasSelection() && c.selectionStart() == debut && c.selectionEnd() == fin;
    }

    bool isValid() const override { return navigateur; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return navigateur ? navigateur->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(navigateur); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !navigateur)
            return {};
        QTextCursor c(navigateur->document());
        c.setPosition(debut);
        c.setPosition(fin, QTextCursor::KeepAnchor);
        return c.selectedText().simplified();
    }

    QRect rect() const override
    {
        if (!navigateur)
            return {};
        QTextCursor c(navigateur->document());
        c.setPosition(debut);
        QRect r = navigateur->cursorRect(c);
        c.setPosition(fin);
        r = r.united(navigateur->cursorRect(c));
        return QRect(navigateur->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State etat;
        etat.focusable = true;
        etat.linked = true;
        etat.focused = actif() && navigateur->hasFocus();
        etat.invisible = !navigateur || !navigateur->isVisible();
        return etat;
    }
};

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
        // Qt tells the reader of a caret move after this signal: the focus
        // goes back to the page first when the caret leaves a link, so that
        // the reader, which saw the link take it, reads the page again.
        connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
            if (lien && !lien->actif()) {
                oublierLien();
                QAccessibleEvent evenement(this, QAccessible::Focus);
                QAccessible::updateAccessibility(&evenement);
            }
        });
    }

    ~NavigateurAide() override { oublierLien(); }

    QVariant loadResource(int genre, const QUrl &nom) override
    {
        if (genre == QTextDocument::HtmlResource && nom.isLocalFile()) {
            const QFileInfo fichier(nom.toLocalFile());
            if (!fichier.isFile() || !fichier.isReadable())
                return TForm2::texteIntrouvable(fichier.fileName(), fichier.absolutePath());
        }
        return QTextBrowser::loadResource(genre, nom);
    }

    // The link Tab selected, while it is selected.
    AccesLien *lienActif() const { return lien && lien->actif() ? lien : nullptr; }

protected:
    // Tab and Shift+Tab select the next or the previous link. Qt moves the
    // selection there without telling the screen reader: the link takes
    // the focus here, as the reader sees it.
    bool focusNextPrevChild(bool suivant) override
    {
        const bool fait = QTextBrowser::focusNextPrevChild(suivant);
        const QTextCursor c = textCursor();
        if (fait && c.hasSelection() && QAccessible::isActive()) {
            // A new object for each link: the reader takes a focus given
            // again to the object it is on for no move at all.
            oublierLien();
            lien = new AccesLien(this);
            lien->debut = c.selectionStart();
            lien->fin = c.selectionEnd();
            QAccessible::registerAccessibleInterface(lien);
            QAccessibleEvent evenement(lien, QAccessible::Focus);
            QAccessible::updateAccessibility(&evenement);
        }
        return fait;
    }

private:
    void oublierLien()
    {
        if (lien)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(lien));
        lien = nullptr;
    }

    AccesLien *lien = nullptr;   // the link that has the reader's focus; Qt's accessibility cache owns it
};

// The help page as a screen reader reads it: a read-only document with a
// caret. Qt's own reading of a page shows a picture as the object character
// that holds its place (U+FFFC), which a reader says as nothing or as
// "object"; here each picture reads as its alternative text. Paragraphs end
// with a line break, and the cells of a table row are joined by commas. A
// line is a line of the page as it is laid out, or a whole row of a table,
// so that Down reads the row the caret reaches, pictures included. Offsets
// are those of this text, converted to and from positions in the document.
class AccesNavigateur : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccesNavigateur(NavigateurAide *n) : QAccessibleWidget(n, QAccessible::Document) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return QAccessibleWidget::childCount() + (lien() ? 1 : 0); }

    QAccessibleInterface *child(int rang) const override
    {
        if (AccesLien *l = lien(); l && rang == QAccessibleWidget::childCount())
            return l;
        return QAccessibleWidget::child(rang);
    }

    int indexOfChild(const QAccessibleInterface *enfant) const override
    {
        if (enfant && enfant == lien())
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(enfant);
    }

    QAccessibleInterface *focusChild() const override
    {
        if (AccesLien *l = lien(); l && navigateur()->hasFocus())
            return l;
        return QAccessibleWidget::focusChild();
    }

    QAccessible::State state() const override
    {
        QAccessible::State etat = QAccessibleWidget::state();
        etat.readOnly = true;
        etat.multiLine = true;
        etat.selectableText = true;
        return etat;
    }

    QString text(int debut, int fin) const override
    {
        const QString lu = lecture().texte;
        if (fin < 0 || fin > lu.size())
            fin = lu.size();
        debut = std::clamp(debut, 0, int(fin));
        return lu.mid(debut, fin - debut);
    }

    int characterCount() const override { return lecture().texte.size(); }

    QString textAtOffset(int decalage, QAccessible::TextBoundaryType limite, int *debut, int *fin) const override
    {
        const Lecture l = lecture();
        if (limite == QAccessible::CharBoundary)
            return l.morceau(l.versDocument(decalage), l.versDocument(decalage) + 1, debut, fin);
        if (limite == QAccessible::LineBoundary) {
            const auto [d, f] = ligne(l.versDocument(decalage));
            return l.morceau(d, f, debut, fin);
        }
        if (limite == QAccessible::WordBoundary) {
            // From the start of the word to the start of the next, as a
            // reader expects: it then says the word Ctrl+Right passed over.
            QTextBoundaryFinder mots(QTextBoundaryFinder::Word, l.texte);
            *debut = 0;
            *fin = l.texte.size();
            for (qsizetype m = mots.toNextBoundary(); m >= 0; m = mots.toNextBoundary()) {
                if (!(mots.boundaryReasons() & QTextBoundaryFinder::StartOfItem))
                    continue;
                if (m <= decalage) {
                    *debut = m;
                } else {
                    *fin = m;
                    break;
                }
            }
            return l.texte.mid(*debut, *fin - *debut);
        }
        return QAccessibleTextInterface::textAtOffset(decalage, limite, debut, fin);
    }

    QString textBeforeOffset(int decalage, QAccessible::TextBoundaryType limite, int *debut,
                             int *fin) const override
    {
        const Lecture l = lecture();
        const int p = l.versDocument(decalage);
        if (limite == QAccessible::CharBoundary)
            return p > 0 ? l.morceau(p - 1, p, debut, fin) : l.morceau(0, 0, debut, fin);
        if (limite == QAccessible::LineBoundary) {
            int q = ligne(p).first - 1;
            while (q > 0 && estMarqueDeCadre(l.brut.at(q)))
                --q;
            if (q < 0)
                return l.morceau(0, 0, debut, fin);
            const auto [d, f] = ligne(q);
            return l.morceau(d, f, debut, fin);
        }
        return QAccessibleTextInterface::textBeforeOffset(decalage, limite, debut, fin);
    }

    QString textAfterOffset(int decalage, QAccessible::TextBoundaryType limite, int *debut,
                            int *fin) const override
    {
        const Lecture l = lecture();
        const int p = l.versDocument(decalage);
        const int n = l.brut.size();
        if (limite == QAccessible::CharBoundary)
            return p < n ? l.morceau(p + 1, std::min(p + 2, n), debut, fin) : l.morceau(n, n, debut, fin);
        if (limite == QAccessible::LineBoundary) {
            int q = ligne(p).second + 1;
            while (q < n && estMarqueDeCadre(l.brut.at(q)))
                ++q;
            if (q > n)
                return l.morceau(n, n, debut, fin);
            const auto [d, f] = ligne(q);
            return l.morceau(d, f, debut, fin);
        }
        return QAccessibleTextInterface::textAfterOffset(decalage, limite, debut, fin);
    }

    int cursorPosition() const override { return lecture().versTexte(navigateur()->textCursor().position()); }

    void setCursorPosition(int decalage) override
    {
        QTextCursor c = navigateur()->textCursor();
        c.setPosition(lecture().versDocument(decalage));
        navigateur()->setTextCursor(c);
    }

    int selectionCount() const override { return navigateur()->textCursor().hasSelection() ? 1 : 0; }

    void selection(int rang, int *debut, int *fin) const override
    {
        *debut = *fin = 0;
        const QTextCursor c = navigateur()->textCursor();
        if (rang != 0 || !c.hasSelection())
            return;
        const Lecture l = lecture();
        *debut = l.versTexte(c.selectionStart());
        *fin = l.versTexte(c.selectionEnd());
    }

    void setSelection(int, int debut, int fin) override
    {
        const Lecture l = lecture();
        QTextCursor c(navigateur()->document());
        c.setPosition(l.versDocument(debut));
        // An end inside a picture's text takes the whole picture.
        const int f = l.versDocument(fin);
        c.setPosition(l.versTexte(f) < fin ? f + 1 : f, QTextCursor::KeepAnchor);
        navigateur()->setTextCursor(c);
    }

    void addSelection(int debut, int fin) override { setSelection(0, debut, fin); }

    void removeSelection(int) override
    {
        QTextCursor c = navigateur()->textCursor();
        c.clearSelection();
        navigateur()->setTextCursor(c);
    }

    QRect characterRect(int decalage) const override
    {
        const int p = lecture().versDocument(decalage);
        QTextCursor c(navigateur()->document());
        c.setPosition(p);
        QRect r = navigateur()->cursorRect(c);
        if (c.movePosition(QTextCursor::NextCharacter)) {
            const QRect suivant = navigateur()->cursorRect(c);
            if (suivant.top() == r.top() && suivant.left() > r.left())
                r.setRight(suivant.left() - 1);
        }
        return QRect(navigateur()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = navigateur()->viewport()->mapFromGlobal(point);
        if (!navigateur()->viewport()->rect().contains(local))
            return -1;
        return lecture().versTexte(navigateur()->cursorForPosition(local).position());
    }

    void scrollToSubstring(int debut, int) override
    {
        QTextCursor c(navigateur()->document());
        c.setPosition(lecture().versDocument(debut));
        const QRect r = navigateur()->cursorRect(c);
        if (r.top() < 0 || r.bottom() > navigateur()->viewport()->height())
            navigateur()->verticalScrollBar()->setValue(navigateur()->verticalScrollBar()->value() + r.top());
    }

    QString attributes(int decalage, int *debut, int *fin) const override
    {
        // No attribute is told: one run over the whole text.
        Q_UNUSED(decalage);
        *debut = 0;
        *fin = characterCount();
        return {};
    }

private:
    NavigateurAide *navigateur() const { return static_cast<NavigateurAide *>(widget()); }
    AccesLien *lien() const { return navigateur()->lienActif(); }

    static bool estMarqueDeCadre(QChar c)
    {
        return c == QChar(0xfdd0) || c == QChar(0xfdd1);   // a table cell or frame begins or ends
    }

    // The document's characters, what is read for each, and where each
    // begins in what is read.
    struct Lecture {
        QString brut;            // the document, one character per position
        QString texte;           // what is read
        QList<int> debuts;       // debuts[p]: offset in texte of position p; one more at the end

        int versTexte(int p) const { return debuts.at(std::clamp(p, 0, int(brut.size()))); }
        int versDocument(int decalage) const
        {
            const auto apres = std::upper_bound(debuts.begin(), debuts.end(), decalage);
            return std::clamp(int(apres - debuts.begin()) - 1, 0, int(brut.size()));
        }
        QString morceau(int p, int q, int *debut, int *fin) const
        {
            *debut = versTexte(p);
            *fin = versTexte(std::max(p, q));
            return texte.mid(*debut, *fin - *debut);
        }
    };

    Lecture lecture() const
    {
        Lecture l;
        const QTextDocument *doc = navigateur()->document();
        l.brut = doc->toRawText();
        l.debuts.reserve(l.brut.size() + 1);
        l.texte.reserve(l.brut.size());
        for (qsizetype p = 0; p < l.brut.size(); ++p) {
            l.debuts.append(l.texte.size());
            const QChar c = l.brut.at(p);
            if (c == QChar::ObjectReplacementCharacter) {
                QTextCursor curseur(const_cast<QTextDocument *>(doc));
                curseur.setPosition(p + 1);
                const QString alternative = curseur.charFormat().property(QTextFormat::ImageAltText).toString();
                l.texte += alternative.isEmpty() ? QString(c) : alternative;
            } else if (c == QChar(0xfdd0) && estCelluleSuivante(doc, p + 1)) {
                l.texte += QStringLiteral(", ");   // a row reads as one line: "7 de carreau, …, au centre"
            } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || estMarqueDeCadre(c)) {
                l.texte += QLatin1Char('\n');
            } else {
                l.texte += c;
            }
        }
        l.debuts.append(l.texte.size());
        return l;
    }

    // Whether position p begins a table cell that is not the first of its row.
    static bool estCelluleSuivante(const QTextDocument *doc, int p)
    {
        QTextCursor c(const_cast<QTextDocument *>(doc));
        c.setPosition(p);
        const QTextTable *table = c.currentTable();
        return table && table->cellAt(p).column() > 0 && table->cellAt(p).firstPosition() == p;
    }

    // The line at position p, as document positions: the laid-out line, or
    // the whole row of a table.
    std::pair<int, int> ligne(int p) const
    {
        QTextCursor c(navigateur()->document());
        c.setPosition(p);
        if (QTextTable *table = c.currentTable()) {
            const int rangee = table->cellAt(c).row();
            int debut = c.position(), fin = c.position();
            for (int colonne = 0; colonne < table->columns(); ++colonne) {
                const QTextTableCell cellule = table->cellAt(rangee, colonne);
                debut = std::min(debut, cellule.firstCursorPosition().position());
                fin = std::max(fin, cellule.lastCursorPosition().position());
            }
            return {debut, fin};
        }
        c.movePosition(QTextCursor::StartOfLine);
        const int debut = c.position();
        c.movePosition(QTextCursor::EndOfLine);
        return {debut, c.position()};
    }
};

QAccessibleInterface *fabriqueAide(const QString &classe, QObject *objet)
{
    if (classe == QLatin1String("NavigateurAide") && objet && objet->isWidgetType())
        return new AccesNavigateur(static_cast<NavigateurAide *>(objet));
    return nullptr;
}

} // namespace

QTextBrowser *creerNavigateurAide(QWidget *parent)
{
    static const bool fabriqueInstallee = [] {
        QAccessible::installFactory(fabriqueAide);
        return true;
    }();
    Q_UNUSED(fabriqueInstallee);
    return new NavigateurAide(parent);
}

#include "navigateur_aide.moc"
