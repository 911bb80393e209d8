#pragma once

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;
class TForm;
class TPanel;
class TXP_Button;
class TXP_Form;

// What every window of the program sets up first, the same way: caption,
// client size, the window font "宋体", the program icon, no maximise (and no
// minimise unless asked), then Panel1 (cream, 3 pixels in from the sides and
// 29 from the top) and the skinned frame XP_Form1 over the whole window:
// close button, no maximise or help button, single border, bold shadowed
// caption in the system font, no snapping, cream, Panel1 as its ClientPanel.
struct TWindowParts {
    TPanel *Panel1;
    TXP_Form *XP_Form1;
};
TWindowParts SetUpWindow(TForm *form, const QString &caption, QSize client, bool btnMin);

// A skinned push button as the layouts place them: picture on top, opaque,
// offset 2, no picture.
TXP_Button *MakeButton(QWidget *parent, const QRect &geometry, const QString &caption);

// The program's icon (16 to 256 pixels).
QIcon ProgramIcon();
// The picture at the left of the main window; null when it cannot be decoded.
QImage SidePicture();

// Centres window on the primary screen, or over another window.
void CentreOnScreen(QWidget *window);
void CentreOver(QWidget *window, const QWidget *over);
