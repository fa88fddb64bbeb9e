#include "modele.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>
#include "storage/fichiertexte.h"

namespace modele {

Texte::Texte(std::string_view octets)
{
    const std::size_t fin = octets.find(char(26));
    contenu = std::string(octets.substr(0, fin));
}

int Texte::ligne(std::string &ligne)
{
    ligne.clear();
    if (fini())
        return 0;
    const std::size_t lf = contenu.find('\n', position);
    std::size_t fin = lf == std::string::npos ? contenu.size() : lf;
    if (lf != std::string::npos && fin > position && contenu[fin - 1] == '\r')
        --fin;
    ligne = contenu.substr(position, fin - position);
    position = lf == std::string::npos ? contenu.size() : lf + 1;
    return 0;
}

int Texte::entier(std::int32_t &valeur)
{
    valeur = 0;
    auto blanc = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!fini() && blanc(contenu[position]))
        ++position;
    if (fini())
        return 0;
    const std::size_t debut = position;
    while (!fini() && !blanc(contenu[position]))
        ++position;
    std::string jeton = contenu.substr(debut, position - debut);
    const std::size_t lf = contenu.find('\n', position);
    position = lf == std::string::npos ? contenu.size() : lf + 1;

    if (jeton.size() > 32)
        return fichier::saisieNumerique;
    bool negatif = false;
    if (jeton[0] == '+' || jeton[0] == '-') {
        negatif = jeton[0] == '-';
        jeton.erase(0, 1);
    }
    if (jeton.empty() || jeton.find_first_not_of("0123456789") != std::string::npos)
        return fichier::saisieNumerique;
    const std::size_t chiffre = jeton.find_first_not_of('0');
    jeton = chiffre == std::string::npos ? "0" : jeton.substr(chiffre);
    if (jeton.size() > 10)
        return fichier::saisieNumerique;
    long long n = std::stoll(jeton);
    if (negatif)
        n = -n;
    if (n < -2147483648LL || n > 2147483647LL)
        return fichier::saisieNumerique;
    valeur = std::int32_t(n);
    return 0;
}

bool messageConnu(int code)
{
    static const char *const messages[] = {
        "Fichier introuvable", "Nom de fichier incorrect", "Trop de fichiers ouverts",
        "Accès au fichier refusé", "Disque plein", "Lecture au-delà de la fin de fichier",
        "Saisie numérique incorrecte"};
    const QString texte = fichier::messageErreur(code);
    for (const char *m : messages)
        if (texte == QString::fromUtf8(m))
            return true;
    return false;
}

void ecrireFichier(const std::string &chemin, const std::uint8_t *donnees, std::size_t taille)
{
    const int fd = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        echec("cannot create the input file");
    while (taille > 0) {
        const ssize_t n = ::write(fd, donnees, taille);
        if (n <= 0)
            echec("cannot write the input file");
        donnees += n;
        taille -= std::size_t(n);
    }
    if (::close(fd) != 0)
        echec("cannot close the input file");
}

std::string dossierDeTravail()
{
    std::string modele = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/merle-fuzz-XXXXXX"
                                                         : "/tmp/merle-fuzz-XXXXXX";
    if (!::mkdtemp(modele.data()))
        echec("cannot make a working folder");
    // Removed when the fuzzer ends normally; a crash leaves it for inspection.
    static std::string dossier;
    dossier = modele;
    std::atexit([] {
        std::error_code ignore;
        std::filesystem::remove_all(dossier, ignore);
    });
    return modele;
}

void echec(const char *quoi)
{
    std::fprintf(stderr, "CONTRACT BROKEN: %s\n", quoi);
    std::abort();
}

} // namespace modele
