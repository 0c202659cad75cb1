// Draws the program's icon into an icon theme folder at every size the theme
// gets, for the install: nimbrel_icons <folder>, such as .../icons/hicolor.

#include "program/linux/IconThemeFiles.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: nimbrel_icons <icon theme folder>\n");
        return 2;
    }
    return nimbrel::program::writeIconFiles(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
