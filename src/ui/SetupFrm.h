#pragma once

#include "framework/Forms.h"

#include <QObject>

class QComboBox;
class TPanel;
class TXP_Button;
class TXP_Form;

// The serial port dialog: COM1 to COM4 in PortCB and an OK button. It only
// offers the choice and ends with mrOk when confirmed; the caller reads
// PortCB's selected entry (entry i is port i + 1).
class TSetupForm : public TForm {
    Q_OBJECT
public:
    TSetupForm();

    TXP_Form *XP_Form1;
    TPanel *Panel1;
    QComboBox *PortCB;
    TXP_Button *XP_Button1;

    void Button1Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
};
