#pragma once
// The oracle of the fuzz targets: how a text file of the game must read,
// written independently of storage/fichiertexte.cpp so that a harness can
// compare the real reader with it call by call.
//   - a byte 26 ends the text;
//   - a line ends at LF, a CR just before that LF is not part of it, a line
//     missing at the end reads empty;
//   - an integer: bytes 0 to 32 are skipped, the token runs to the next such
//     byte, the rest of its line is skipped; a token longer than 32 bytes,
//     not decimal or outside 32 bits is an error; the end of the text reads 0.
#include <cstdint>
#include <string>
#include <string_view>

namespace modele {

class Texte {
public:
    explicit Texte(std::string_view octets);
    int ligne(std::string &ligne);          // 0
    int entier(std::int32_t &valeur);       // 0 or fichier::saisieNumerique
    bool fini() const { return position >= contenu.size(); }
    std::size_t taille() const { return contenu.size(); }
    std::size_t lu() const { return position; }

private:
    std::string contenu;
    std::size_t position = 0;
};

// True when fichier::messageErreur(code) is one of the French messages the
// game shows (and not the generic "Erreur E/S n").
bool messageConnu(int code);

// Writes the bytes to a file (created or emptied); aborts on failure, since a
// harness that cannot write its input has nothing to test.
void ecrireFichier(const std::string &chemin, const std::uint8_t *donnees, std::size_t taille);

// A fresh folder for the files of one fuzz process, on a RAM disk when there
// is one (the writer syncs each file it writes).
std::string dossierDeTravail();

// Prints the message and aborts: libFuzzer then records the input as a crash.
[[noreturn]] void echec(const char *quoi);

} // namespace modele
