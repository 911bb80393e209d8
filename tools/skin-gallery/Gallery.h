#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One rendered look of a control, with the name it is saved under.
struct GalleryTile {
    QString Name;
    QImage Image;
};

// Saves each tile enlarged (nearest pixel) as <folder>/<sheet>-<name>.png and
// all of them stacked with labels as <folder>/<sheet>.png.
void SaveSheet(const QString &folder, const QString &sheet, const QList<GalleryTile> &tiles);

// The font the program's controls use ("MS Sans Serif", 13 pixels).
class QFont;
QFont ControlFont();

// A 16 x 16 picture on magenta: a small blue screen with a green light.
class TBitmap;
TBitmap SamplePicture();

// One function per control family; each saves its sheets into the folder.
// main() calls them from its list.
void ButtonSheets(const QString &folder);
void CheckBoxSheets(const QString &folder);
void GroupBoxSheets(const QString &folder);
void FormSheets(const QString &folder);
