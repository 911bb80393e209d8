#pragma once

#include <QIcon>
#include <QImage>

class QWidget;
class TForm;
class TXP_Form;

// The skinned frame every window of the program wears, as the three window
// layouts set it: close button, a minimise button only where asked, no
// maximise or help button, single border, bold shadowed caption in the
// system font, no snapping, cream background, ClientPanel as its panel.
TXP_Form *MakeWindowFrame(TForm *owner, QWidget *clientPanel, bool btnMin);

// The program's icon (16 to 256 pixels).
QIcon ProgramIcon();
// The picture at the left of the main window; null when it cannot be decoded.
QImage SidePicture();

// Centres window on the primary screen, or over another window.
void CentreOnScreen(QWidget *window);
void CentreOver(QWidget *window, const QWidget *over);
