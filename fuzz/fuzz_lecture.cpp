// Fuzzes the line and integer readers under every file of the game: the
// input's first byte says how many of the next bytes choose the calls (one
// bit per call: 0 lireLigne, 1 lireEntier; none: the two in turn), the rest
// is the file. Each call is compared with the model; a call before the end
// of the text always consumes at least one byte, so the number of calls is
// bounded by the text's length.
#include <QString>
#include <cstdint>
#include <string>
#include "modele.h"
#include "storage/fichiertexte.h"

namespace {
std::string chemin;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    chemin = modele::dossierDeTravail() + "/lecture.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille)
{
    if (taille == 0)
        return 0;
    const std::size_t nbChoix = std::min<std::size_t>(donnees[0] % 8, taille - 1);
    const std::uint8_t *choix = donnees + 1;
    const std::uint8_t *texte = choix + nbChoix;
    const std::size_t tailleTexte = taille - 1 - nbChoix;
    modele::ecrireFichier(chemin, texte, tailleTexte);

    fichier::Lecture f;
    QString ligne;
    std::int32_t valeur = 7;
    // Nothing can be read before the file is open.
    if (f.lireLigne(ligne) == 0 || f.lireEntier(valeur) == 0 || valeur != 0)
        modele::echec("a read before ouvrir succeeded");
    if (f.ouvrir(QString::fromStdString(chemin)) != 0 || !f.ouvert())
        modele::echec("a plain file could not be opened");

    modele::Texte m(std::string_view(reinterpret_cast<const char *>(texte), tailleTexte));
    // One call past the end on top of one per byte: then both must be at the end.
    const std::size_t appels = m.taille() + 2;
    for (std::size_t i = 0; i < appels; ++i) {
        const bool entier = nbChoix == 0 ? i % 2 == 1 : (choix[(i / 8) % nbChoix] >> (i % 8)) & 1;
        const std::size_t avant = m.lu();
        const bool finAvant = m.fini();
        if (entier) {
            std::int32_t attendu = 0;
            const int codeAttendu = m.entier(attendu);
            valeur = 12345;
            const int code = f.lireEntier(valeur);
            if (code != codeAttendu)
                modele::echec("lireEntier: wrong result code");
            if (code != 0 && !modele::messageConnu(code))
                modele::echec("lireEntier: error without a French message");
            if (valeur != attendu)
                modele::echec("lireEntier: wrong value");
        } else {
            std::string attendu;
            m.ligne(attendu);
            ligne = QStringLiteral("stale");
            const int code = f.lireLigne(ligne);
            if (code != 0)
                modele::echec("lireLigne: failed on a plain file");
            if (ligne.size() != qsizetype(attendu.size()) || ligne.toLatin1().toStdString() != attendu)
                modele::echec("lireLigne: wrong line");
        }
        if (!finAvant && m.lu() == avant)
            modele::echec("model consumed nothing before the end");
    }
    if (!m.fini())
        modele::echec("text not consumed within one call per byte");
    // At the end, both readers give nothing without error, as often as asked.
    for (int i = 0; i < 2; ++i) {
        if (f.lireLigne(ligne) != 0 || !ligne.isEmpty())
            modele::echec("lireLigne past the end");
        valeur = 9;
        if (f.lireEntier(valeur) != 0 || valeur != 0)
            modele::echec("lireEntier past the end");
    }
    if (f.fermer() != 0 || f.ouvert())
        modele::echec("fermer failed");
    if (f.lireLigne(ligne) == 0 || f.fermer() == 0)
        modele::echec("a closed file still reads");
    return 0;
}
