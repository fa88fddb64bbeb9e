// Fuzzes the saved-game reader: any bytes as a saved game. The seven values
// come back only when all seven read; otherwise the error is the one the
// model expects, it has a French message, and the game passed in is left as
// it was. A game that reads is written again and must read back the same,
// in the exact form the game writes.
#include <QString>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include "modele.h"
#include "storage/fichiertexte.h"
#include "storage/sauvegarde.h"

namespace {
std::string dossier;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    dossier = modele::dossierDeTravail();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *donnees, std::size_t taille)
{
    const std::string entree = dossier + "/entree.svgMv";
    modele::ecrireFichier(entree, donnees, taille);

    // What the model reads.
    modele::Texte m(std::string_view(reinterpret_cast<const char *>(donnees), taille));
    std::int32_t valeurs[7] = {};
    int codeAttendu = 0;
    for (std::int32_t &v : valeurs)
        if ((codeAttendu = m.entier(v)) != 0)
            break;

    sauvegarde::Partie avant;
    for (int s = 0; s < nbSieges; ++s)
        avant.tresor[s] = 1000 + s;
    avant.premierJoueur = 3;
    avant.premierPrecedent = 2;
    avant.niveau = 1;
    sauvegarde::Partie p = avant;
    const int code = sauvegarde::lire(QString::fromStdString(entree), p);
    if (code != codeAttendu)
        modele::echec("lire: wrong result code");
    if (code != 0) {
        if (!modele::messageConnu(code))
            modele::echec("lire: error without a French message");
        if (!(p == avant))
            modele::echec("lire: a failed read changed the game");
        return 0;
    }
    const sauvegarde::Partie attendu{{valeurs[0], valeurs[1], valeurs[2], valeurs[3]},
                                     valeurs[4], valeurs[5], valeurs[6]};
    if (!(p == attendu))
        modele::echec("lire: wrong values");

    // Written again: seven decimal lines with CR LF, read back the same.
    const std::string sortie = dossier + "/sortie.svgMv";
    if (sauvegarde::ecrire(QString::fromStdString(sortie), p) != 0)
        modele::echec("ecrire failed on a RAM disk");
    std::string exact;
    for (std::int32_t v : valeurs)
        exact += std::to_string(v) + "\r\n";
    std::ifstream flux(sortie, std::ios::binary);
    const std::string ecrit((std::istreambuf_iterator<char>(flux)), std::istreambuf_iterator<char>());
    if (ecrit != exact)
        modele::echec("ecrire: not the seven decimal lines");
    sauvegarde::Partie relu;
    if (sauvegarde::lire(QString::fromStdString(sortie), relu) != 0 || !(relu == p))
        modele::echec("a written game does not read back the same");
    return 0;
}
