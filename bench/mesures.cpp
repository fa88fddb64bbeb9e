#include "mesures.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace banc {

std::optional<long long> ticksCpu(const std::string &stat)
{
    const auto fin = stat.rfind(')');
    if (fin == std::string::npos)
        return std::nullopt;
    std::istringstream flux(stat.substr(fin + 1));
    // Fields after the command start at field 3 (state); utime is 14, stime 15.
    std::string champ;
    long long utime = 0, stime = 0;
    for (int numero = 3; numero <= 15; ++numero) {
        if (!(flux >> champ))
            return std::nullopt;
        char *reste = nullptr;
        if (numero == 14 || numero == 15) {
            const long long v = std::strtoll(champ.c_str(), &reste, 10);
            if (reste == champ.c_str() || *reste != '\0' || v < 0)
                return std::nullopt;
            (numero == 14 ? utime : stime) = v;
        }
    }
    return utime + stime;
}

namespace {
// The number after "nom:" on its line of a /proc file, with the word after it
// (empty when none); nothing when the line is absent or holds no number.
std::optional<std::pair<long long, std::string>> champ(const std::string &texte, const std::string &nom)
{
    std::istringstream flux(texte);
    std::string ligne;
    const std::string cle = nom + ":";
    while (std::getline(flux, ligne)) {
        if (ligne.compare(0, cle.size(), cle) != 0)
            continue;
        std::istringstream valeur(ligne.substr(cle.size()));
        long long v = 0;
        std::string unite;
        if (!(valeur >> v))
            return std::nullopt;
        valeur >> unite;
        return std::make_pair(v, unite);
    }
    return std::nullopt;
}

std::optional<long long> entier(const std::string &texte, const std::string &nom)
{
    const auto c = champ(texte, nom);
    return c ? std::optional<long long>(c->first) : std::nullopt;
}
} // namespace

std::optional<long long> champKo(const std::string &texte, const std::string &nom)
{
    const auto c = champ(texte, nom);
    if (!c || c->second != "kB")
        return std::nullopt;
    return c->first;
}

std::optional<long long> changementsDeContexte(const std::string &status)
{
    const auto volontaires = entier(status, "voluntary_ctxt_switches");
    const auto forces = entier(status, "nonvoluntary_ctxt_switches");
    if (!volontaires || !forces)
        return std::nullopt;
    return *volontaires + *forces;
}

Resume resumer(std::vector<double> valeurs)
{
    Resume r;
    r.n = static_cast<int>(valeurs.size());
    if (valeurs.empty())
        return r;
    std::sort(valeurs.begin(), valeurs.end());
    const size_t m = valeurs.size() / 2;
    r.mediane = valeurs.size() % 2 ? valeurs[m] : (valeurs[m - 1] + valeurs[m]) / 2;
    r.min = valeurs.front();
    r.max = valeurs.back();
    return r;
}

double ecart(const Image &a, const Image &b, int marge)
{
    if (a.largeur != b.largeur || a.hauteur != b.hauteur || a.largeur <= 2 * marge || a.hauteur <= 2 * marge)
        return 1e9;
    long long somme = 0, n = 0;
    for (int y = marge; y < a.hauteur - marge; ++y)
        for (int x = marge; x < a.largeur - marge; ++x)
            for (int c = 0; c < 3; ++c) {
                const size_t i = (size_t(y) * a.largeur + x) * 3 + c;
                somme += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
                ++n;
            }
    return double(somme) / double(n);
}

int reconnaitre(const Image &capture, const std::vector<Image> &faces, int marge, double seuil)
{
    int meilleur = -1;
    double d1 = 1e18, d2 = 1e18;
    for (size_t i = 0; i < faces.size(); ++i) {
        const double d = ecart(capture, faces[i], marge);
        if (d < d1) {
            d2 = d1;
            d1 = d;
            meilleur = int(i);
        } else if (d < d2) {
            d2 = d;
        }
    }
    // Clearly nearer than any other face: twice as near, and by more than a
    // trace (two equal faces are no answer).
    if (meilleur < 0 || d1 >= seuil || d2 <= 2 * d1 + 0.1)
        return -1;
    return meilleur;
}

} // namespace banc
