// Draws the artwork of the program's windows into the folder given as the
// only argument (normally src/ui/resources):
//   SidePicture.jpg   the 175 x 333 picture at the left of the main window
//   lumora-<n>.png    the program icon at 16, 32, 48 and 256 pixels
#include "AppIcon.h"
#include "JpegWriter.h"
#include "SidePicture.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = WriteJpeg(DrawSidePicture(), out.filePath("SidePicture.jpg"), 92);
    for (int size : {16, 32, 48, 256})
        ok = DrawAppIcon(size).save(out.filePath(QString("lumora-%1.png").arg(size))) && ok;
    if (!ok) {
        std::fprintf(stderr, "could not write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
