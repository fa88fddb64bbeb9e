// Fuzzes the best-score reader: any bytes as the file "mv", read by the real
// main window as at start-up. The two values are the file's first two lines
// (missing lines empty, CR LF or LF, a byte 26 ends the text), no error box
// is ever shown for a file that opens, and the show command presents them.
#include <QApplication>
#include <QDir>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "modele.h"
#include "platform/plateforme.h"
#include "storage/meilleurscore.h"
#include "ui/Unit1.h"

namespace {

// Records the boxes; nothing else of the platform is used by this reader.
class PlateformeFuzz : public Plateforme {
public:
    QStringList erreurs, affichages;
    bool confirmer(const QString &) override { return false; }
    void informer(const QString &) override {}
    void afficher(const QString &texte) override { affichages.append(texte); }
    void erreur(const QString &texte) override { erreurs.append(texte); }
    QString choisirFichier(QFileDialog &) override { return QString(); }
    void pause(int) override {}
    int heureDuJourMs() override { return 0; }
    void bip() override {}
    QString repertoireCourant() override { return QDir::currentPath(); }
    void terminer() override {}
};

PlateformeFuzz *double_ = nullptr;
Tprincipale *fenetre = nullptr;
std::string fichierMv;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication *application = new QApplication(*argc, *argv);
    double_ = new PlateformeFuzz;
    installerPlateforme(double_);
    const std::string dossier = modele::dossierDeTravail();
    QDir::setCurrent(QString::fromStdString(dossier));
    fichierMv = dossier + "/mv";
    fenetre = new Tprincipale;          // reads a missing "mv": one error box
    if (double_->erreurs != QStringList{QStringLiteral("Fichier introuvable.")})
        modele::echec("a missing best-score file does not say so");
    double_->erreurs.clear();
    // Taken down in order when the fuzzer ends, so that the leak check at
    // exit sees only what the readers might have lost.
    std::atexit([] {
        delete fenetre;
        delete application;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille)
{
    modele::ecrireFichier(fichierMv, donnees, taille);
    modele::Texte m(std::string_view(reinterpret_cast<const char *>(donnees), taille));
    std::string nom, score;
    m.ligne(nom);
    m.ligne(score);

    meilleurNom = QStringLiteral("avant");
    meilleurScore = QStringLiteral("avant");
    fenetre->lireMeilleurScore();
    if (!double_->erreurs.isEmpty())
        modele::echec("reading a plain file showed an error box");
    if (meilleurNom != QString::fromLatin1(nom.data(), qsizetype(nom.size())))
        modele::echec("wrong name");
    if (meilleurScore != QString::fromLatin1(score.data(), qsizetype(score.size())))
        modele::echec("wrong score");

    fenetre->Voir1Click();
    if (double_->affichages.size() != 1
        || double_->affichages[0] != meilleurNom + QStringLiteral(" a fini la partie avec : ")
                                         + meilleurScore + QStringLiteral(" Euros"))
        modele::echec("the show command does not present the values read");
    double_->affichages.clear();
    return 0;
}
