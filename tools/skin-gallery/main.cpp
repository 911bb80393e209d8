// Renders the skinned controls in all their looks into PNG files, for a
// person to look at. The output folder is the first argument, or a new
// folder under the temporary folder; its name is printed.
#include "Gallery.h"
#include "framework/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Add a family here (and its function to Gallery.h).
void (*const kSheets[])(const QString &folder) = {
    ButtonSheets,
    CheckBoxSheets,
    GroupBoxSheets,
    FormSheets,
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    InstallFontSubstitutions();
    QApplication app(argc, argv);
    QString folder;
    if (argc >= 2) {
        folder = QString::fromLocal8Bit(argv[1]);
    } else {
        QTemporaryDir temp(QDir::temp().filePath(QStringLiteral("skin-gallery-XXXXXX")));
        temp.setAutoRemove(false);
        folder = temp.path();
    }
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "skin-gallery: cannot create the output folder\n");
        return 1;
    }
    std::printf("skin-gallery: writing into %s\n", qPrintable(folder));
    for (auto sheet : kSheets)
        sheet(folder);
    return 0;
}
