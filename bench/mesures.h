#pragma once
// Pure helpers of the benchmark tools: reading /proc, simple statistics and
// the matching of a screen grab against the card faces. Kept apart from the
// X client so that they can be checked on their own.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace banc {

// utime + stime, in clock ticks, from the text of /proc/PID/stat. The second
// field (the command) is in parentheses and may itself hold blanks and
// parentheses, so the fields are counted from the last ')'.
std::optional<long long> ticksCpu(const std::string &stat);

// The value in kB of a "Name:   123 kB" line of /proc/PID/status or
// /proc/PID/smaps_rollup.
std::optional<long long> champKo(const std::string &texte, const std::string &nom);

// voluntary_ctxt_switches + nonvoluntary_ctxt_switches of one
// /proc/PID/task/TID/status text.
std::optional<long long> changementsDeContexte(const std::string &status);

struct Resume {
    double mediane = 0, min = 0, max = 0;
    int n = 0;
};
// Median (mean of the two middle values for an even count), minimum, maximum.
Resume resumer(std::vector<double> valeurs);

// A face or a grab: width x height pixels, 3 bytes (R, G, B) each.
struct Image {
    int largeur = 0, hauteur = 0;
    std::vector<std::uint8_t> rgb;
};

// Mean absolute difference per channel over the inner rectangle (the border
// of `marge` pixels left out: the rounded corners let earlier cards show).
double ecart(const Image &a, const Image &b, int marge);

// Index of the face that the grab shows, or -1 when no face is clearly it:
// the nearest face must be closer than `seuil`, and the second nearest more
// than twice as far (plus a trace: two aces differ by little more than one).
int reconnaitre(const Image &capture, const std::vector<Image> &faces, int marge, double seuil);

// Rank 1..13 of card number n (1..52): clubs, diamonds, hearts, spades, ace to king.
inline int rangDe(int n) { return n < 1 ? 0 : (n - 1) % 13 + 1; }

} // namespace banc
