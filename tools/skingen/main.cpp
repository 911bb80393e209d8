// Writes every skin bitmap into the folder given as the only argument.
#include "Families.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

struct Family {
    const char *name;
    void (*write)(const QString &folder);
};

// Add a family here (and its function to Families.h).
const Family kFamilies[] = {
    {"push button", WriteButtonSkin}, {"check box", WriteCheckBoxSkin}, {"radio box", WriteRadioBoxSkin},
    {"hand cursor", WriteHandCursor}, {"window frame", WriteFormSkins},
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <output folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const Family &family : kFamilies) {
        family.write(folder);
        std::printf("skingen: %s\n", family.name);
    }
    return 0;
}
