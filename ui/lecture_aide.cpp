// How a screen reader reads the help browser (see lecture_aide.h).
#include "ui/lecture_aide.h"

#include <algorithm>
#include <memory>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QMetaObject>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextBrowser>
#include <QTextTable>

namespace {

// In a document's raw text, Qt marks where a frame (a table cell, say)
// begins and where it ends with these two noncharacters.
constexpr QChar debutDeCadre(0xfdd0);
constexpr QChar finDeCadre(0xfdd1);

bool estMarqueDeCadre(QChar c)
{
    return c == debutDeCadre || c == finDeCadre;
}

// Whether position p begins a table cell that is not the first of its row.
bool estCelluleSuivante(QTextDocument *doc, int p)
{
    QTextCursor c(doc);
    c.setPosition(p);
    const QTextTable *table = c.currentTable();
    return table && table->cellAt(p).column() > 0 && table->cellAt(p).firstPosition() == p;
}

// A page as it is read: the document's characters, what is read for each,
// and where each begins in what is read. A picture reads as its alternative
// text (Qt gives the object character U+FFFC, which a reader says as
// nothing or as "object"), a paragraph or a frame ends with a line break,
// and the cells of a table row are joined by commas.
struct Lecture {
    QString brut;            // the document, one character per position
    QString texte;           // what is read
    QList<int> debuts;       // debuts[p]: offset in texte of position p; one more at the end

    explicit Lecture(QTextDocument *doc)
    {
        brut = doc->toRawText();
        debuts.reserve(brut.size() + 1);
        texte.reserve(brut.size());
        for (qsizetype p = 0; p < brut.size(); ++p) {
            debuts.append(texte.size());
            const QChar c = brut.at(p);
            if (c == QChar::ObjectReplacementCharacter) {
                QTextCursor curseur(doc);
                curseur.setPosition(p + 1);
                const QString alternative = curseur.charFormat().property(QTextFormat::ImageAltText).toString();
                texte += alternative.isEmpty() ? QString(c) : alternative;
            } else if (c == debutDeCadre && estCelluleSuivante(doc, p + 1)) {
                texte += QStringLiteral(", ");   // a row reads as one line: "7 de carreau, …, au centre"
            } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || estMarqueDeCadre(c)) {
                texte += QLatin1Char('\n');
            } else {
                texte += c;
            }
        }
        debuts.append(texte.size());
    }

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

class AccesLien;

// The help page as a screen reader reads it: a read-only document with a
// caret, whose text is the page as read (Lecture), built once per page. A
// line is a line of the page as it is laid out, or a whole row of a table,
// so that Down reads the row the caret reaches, pictures included. Offsets
// are those of that text, converted to and from positions in the document.
// It also keeps the link that Tab selected, told as an object of its own.
class AccesNavigateur : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccesNavigateur(QTextBrowser *n);
    ~AccesNavigateur() override;

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override;
    QAccessibleInterface *child(int rang) const override;
    int indexOfChild(const QAccessibleInterface *enfant) const override;
    QAccessibleInterface *focusChild() const override;

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
        const QString &lu = lecture().texte;
        if (fin < 0 || fin > lu.size())
            fin = lu.size();
        debut = std::clamp(debut, 0, int(fin));
        return lu.mid(debut, fin - debut);
    }

    int characterCount() const override { return lecture().texte.size(); }

    QString textAtOffset(int decalage, QAccessible::TextBoundaryType limite, int *debut, int *fin) const override
    {
        const Lecture &l = lecture();
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
        const Lecture &l = lecture();
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
        const Lecture &l = lecture();
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
        const Lecture &l = lecture();
        *debut = l.versTexte(c.selectionStart());
        *fin = l.versTexte(c.selectionEnd());
    }

    void setSelection(int, int debut, int fin) override
    {
        const Lecture &l = lecture();
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

    const Lecture &lecture() const
    {
        if (!lu)
            lu = std::make_unique<Lecture>(navigateur()->document());
        return *lu;
    }

    // Tab or Shift+Tab has moved the selection: onto a link, which takes
    // the focus, or off the links, and the page has it again.
    void apresTabulation();

    QTextBrowser *navigateur() const { return static_cast<QTextBrowser *>(widget()); }

private:
    AccesLien *lien() const;
    void quitterLienSiLaisse();
    void oublierLien();

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

    mutable std::unique_ptr<Lecture> lu;   // the page as read, until the document changes
    AccesLien *lienChoisi = nullptr;       // Qt's accessibility cache owns it
    QList<QMetaObject::Connection> connexions;
};

// The link that Tab has selected in a help page, as a screen reader sees
// it: an object of its own, named by the link's text, which takes the
// focus, so that the reader says "Comment jouer, lien". (Told as a text
// selection instead, the reader also said the link left as unselected.)
// Its text is the page's, with the caret at the link's start: a reader
// asked to read on from the focus reads from the link to the end of the
// page, as from a caret in the page.
class AccesLien : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    AccesLien(AccesNavigateur *p, int d, int f) : page(p), debut(d), fin(f) {}

    AccesNavigateur *const page;
    const int debut, fin;   // the link, as document positions

    QTextBrowser *navigateur() const { return page->navigateur(); }

    // Whether the link is still the browser's selection.
    bool actif() const
    {
        const QTextCursor c = navigateur()->textCursor();
        return c.hasSelection() && c.selectionStart() == debut && c.selectionEnd() == fin;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this) : nullptr;
    }

    bool isValid() const override { return page->isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return page->window(); }
    QAccessibleInterface *parent() const override { return page; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return {};
        int d = 0, f = 0;
        return page->lecture().morceau(debut, fin, &d, &f).simplified();
    }

    QRect rect() const override
    {
        QTextCursor c(navigateur()->document());
        c.setPosition(debut);
        QRect r = navigateur()->cursorRect(c);
        c.setPosition(fin);
        r = r.united(navigateur()->cursorRect(c));
        return QRect(navigateur()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State etat;
        etat.focusable = true;
        etat.linked = true;
        etat.focused = actif() && navigateur()->hasFocus();
        etat.invisible = !navigateur()->isVisible();
        return etat;
    }

    // The page's text, read from the link's start.
    int cursorPosition() const override { return page->lecture().versTexte(debut); }
    void setCursorPosition(int decalage) override { page->setCursorPosition(decalage); }
    QString text(int d, int f) const override { return page->text(d, f); }
    int characterCount() const override { return page->characterCount(); }
    QString textAtOffset(int o, QAccessible::TextBoundaryType l, int *d, int *f) const override
    {
        return page->textAtOffset(o, l, d, f);
    }
    QString textBeforeOffset(int o, QAccessible::TextBoundaryType l, int *d, int *f) const override
    {
        return page->textBeforeOffset(o, l, d, f);
    }
    QString textAfterOffset(int o, QAccessible::TextBoundaryType l, int *d, int *f) const override
    {
        return page->textAfterOffset(o, l, d, f);
    }
    int selectionCount() const override { return page->selectionCount(); }
    void selection(int rang, int *d, int *f) const override { page->selection(rang, d, f); }
    void setSelection(int rang, int d, int f) override { page->setSelection(rang, d, f); }
    void addSelection(int d, int f) override { page->addSelection(d, f); }
    void removeSelection(int rang) override { page->removeSelection(rang); }
    QRect characterRect(int o) const override { return page->characterRect(o); }
    int offsetAtPoint(const QPoint &p) const override { return page->offsetAtPoint(p); }
    void scrollToSubstring(int d, int f) override { page->scrollToSubstring(d, f); }
    QString attributes(int o, int *d, int *f) const override { return page->attributes(o, d, f); }
};

AccesNavigateur::AccesNavigateur(QTextBrowser *n) : QAccessibleWidget(n, QAccessible::Document)
{
    // Any move of the caret or change of the selection may leave the link;
    // a new page is read again.
    connexions << QObject::connect(n, &QTextEdit::cursorPositionChanged, n, [this] { quitterLienSiLaisse(); })
               << QObject::connect(n, &QTextEdit::selectionChanged, n, [this] { quitterLienSiLaisse(); })
               << QObject::connect(n->document(), &QTextDocument::contentsChanged, n, [this] { lu.reset(); });
}

AccesNavigateur::~AccesNavigateur()
{
    for (const QMetaObject::Connection &c : std::as_const(connexions))
        QObject::disconnect(c);
    if (lienChoisi)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(lienChoisi));
}

AccesLien *AccesNavigateur::lien() const
{
    return lienChoisi && lienChoisi->actif() ? lienChoisi : nullptr;
}

int AccesNavigateur::childCount() const
{
    return QAccessibleWidget::childCount() + (lien() ? 1 : 0);
}

QAccessibleInterface *AccesNavigateur::child(int rang) const
{
    if (AccesLien *l = lien(); l && rang == QAccessibleWidget::childCount())
        return l;
    return QAccessibleWidget::child(rang);
}

int AccesNavigateur::indexOfChild(const QAccessibleInterface *enfant) const
{
    if (enfant && enfant == lien())
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(enfant);
}

QAccessibleInterface *AccesNavigateur::focusChild() const
{
    if (AccesLien *l = lien(); l && navigateur()->hasFocus())
        return l;
    return QAccessibleWidget::focusChild();
}

void AccesNavigateur::apresTabulation()
{
    const QTextCursor c = navigateur()->textCursor();
    if (!c.hasSelection()) {
        // Past the last link or before the first: Qt only drops the
        // selection, and the caret stays where it was.
        quitterLienSiLaisse();
        return;
    }
    // A new object for each link: the reader takes a focus given again to
    // the object it is on for no move at all.
    oublierLien();
    lienChoisi = new AccesLien(this, c.selectionStart(), c.selectionEnd());
    QAccessible::registerAccessibleInterface(lienChoisi);
    QAccessibleEvent nouveau(lienChoisi, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&nouveau);
    QAccessibleEvent focus(lienChoisi, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

// Once the link is no longer selected, it leaves the page's children, and
// the page takes the focus back, so that the reader, which saw the link
// take it, reads the page again.
void AccesNavigateur::quitterLienSiLaisse()
{
    if (!lienChoisi || lienChoisi->actif())
        return;
    oublierLien();
    if (navigateur()->hasFocus()) {
        QAccessibleEvent focus(navigateur(), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void AccesNavigateur::oublierLien()
{
    if (!lienChoisi)
        return;
    QAccessibleEvent parti(lienChoisi, QAccessible::ObjectDestroyed);
    QAccessible::updateAccessibility(&parti);
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(lienChoisi));
    lienChoisi = nullptr;
}

const QMetaObject *classeLue = nullptr;

QAccessibleInterface *fabrique(const QString &, QObject *objet)
{
    if (auto *n = qobject_cast<QTextBrowser *>(objet); n && classeLue && classeLue->cast(objet))
        return new AccesNavigateur(n);
    return nullptr;
}

} // namespace

void lireCommeDocument(const QMetaObject &classe)
{
    if (!classeLue)
        QAccessible::installFactory(fabrique);
    classeLue = &classe;
}

void signalerTabulation(QTextBrowser *navigateur)
{
    if (!QAccessible::isActive())
        return;
    if (auto *page = dynamic_cast<AccesNavigateur *>(QAccessible::queryAccessibleInterface(navigateur)))
        page->apresTabulation();
}
