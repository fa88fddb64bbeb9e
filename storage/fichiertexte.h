#pragma once
// The checked text-file layer under the saved-game and best-score files.
// Text is 8-bit Latin-1 with CR LF line ends when written; when read, a line
// ends at LF or CR LF and a byte 26 ends the file. Each step reports the
// errno of a real failure (or one of the two codes below); messageErreur
// gives the French message, and the error box adds the full stop.
// Symbolic links are followed, for reading and writing alike, except a link
// in a shared folder such as /tmp (mode 1777) that neither the player nor
// the folder's owner laid: that gives EACCES. A read opens a link of /proc
// (/dev/stdin, /proc/self/fd/N) through the kernel, as any program does.
#include <QString>
#include <cstdint>
#include <vector>

namespace fichier {

constexpr int finDeFichier = -100;      // "Lecture au-delà de la fin de fichier"
constexpr int saisieNumerique = -106;   // "Saisie numérique incorrecte"

// The French message of an error code (an errno value or one of the above).
QString messageErreur(int code);

// Text as the files hold it: one byte per character, Latin-1; a character
// Latin-1 lacks becomes "?".
QByteArray versLatin1(const QString &texte);

// A file opened for reading. It is read as a stream, a buffer at a time, and
// only as far as the values asked for: the size of the file does not matter.
// A line is held whole up to 16 MiB and the rest of a longer one is passed
// over. A device or a pipe, which may never end, fails with EFBIG after
// 64 MiB.
class Lecture {
public:
    Lecture() = default;
    Lecture(const Lecture &) = delete;
    Lecture &operator=(const Lecture &) = delete;
    ~Lecture();                                  // closes a file left open
    int ouvrir(const QString &chemin);           // 0 or the error
    int lireLigne(QString &ligne);               // a missing line reads empty
    int lireEntier(std::int32_t &valeur);        // end of file reads 0
    int fermer();
    bool ouvert() const { return descripteur >= 0; }

private:
    bool remplir(int &erreur);
    int passerLaLigne();

    std::vector<char> tampon;                    // the bytes read and not yet used
    std::size_t position = 0;
    int descripteur = -1;
    bool finAtteinte = false;                    // end of file or Ctrl-Z met
    std::int64_t limite = -1;                    // bytes a stream may still give, -1 for a file
};

// A file written whole or not at all: the lines go to a temporary file in
// the same folder, which replaces the target only once complete and flushed.
class Ecriture {
public:
    Ecriture() = default;
    Ecriture(const Ecriture &) = delete;
    Ecriture &operator=(const Ecriture &) = delete;
    ~Ecriture();                                 // an unfinished write is removed
    // 0 or the error. The target is only replaced by fermer(); after any
    // failure the temporary file is gone and the target is as it was.
    int ouvrir(const QString &chemin);
    int ecrireLigne(const QString &ligne);       // text then CR LF
    int fermer();                                // flush, sync, rename over the target
    bool ouvert() const { return descripteur >= 0; }

private:
    void abandonner();                           // closes and removes the temporary file
    int echouer(int code);                       // abandonner(), then returns code

    int dossier = -1;                            // the target's folder, held open
    QByteArray cible;                            // the target's name in it
    QByteArray temporaire;                       // the temporary file's name in it
    int descripteur = -1;
};

} // namespace fichier
