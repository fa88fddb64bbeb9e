#pragma once
// The best score: the holder's name and the score, two texts mirrored in the
// file "mv" of the working directory.
#include <QString>

extern QString meilleurNom;
extern QString meilleurScore;
