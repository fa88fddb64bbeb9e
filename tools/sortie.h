#pragma once
// The output folder of a build-time tool: its one argument.
#include <QString>
#include <cstdio>

// The folder named on the command line, or an empty string, after the usage
// line, when the command line is not just that.
inline QString dossierDeSortie(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return QString();
    }
    return QString::fromLocal8Bit(argv[1]);
}
