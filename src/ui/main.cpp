// Lumora: configures fibre-network equipment over a serial line.
#include "Program.h"
#include "framework/FontSetUp.h"
#include "framework/Fonts.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Fonts resolve once: the substitutions must be in place before the
    // first widget exists.
    InstallFontSubstitutions();
    StartFontSetUp();
    QApplication app(argc, argv);
    return RunProgram(QApplication::arguments());
}
