#pragma once

#include "device/DeviceParams.h"
#include "framework/Forms.h"

#include <QObject>

class TLabel;
class TPanel;
class TStaticText;
class TXP_Button;
class TXP_Form;
class TXP_GroupBox;

// The device parameters window: the analogue values of the parameter record,
// read once through the main window's connection and shown as Chinese texts.
class TParamsForm : public TForm {
    Q_OBJECT
public:
    TParamsForm();

    TXP_Form *XP_Form1;
    TPanel *Panel1;
    TXP_Button *XP_Button1;
    TXP_GroupBox *XP_GroupBox1;
    TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10,
        *Label11;
    TStaticText *textbean, *texttemp, *textpowera, *textpowerb, *textv24, *textv15, *textv8, *textopti,
        *textab, *textpath, *textbox;

    // Fills the eleven boxes from Params.
    void ShowParams(const TDeviceParams &Params);
    // Reads the record through MainForm's FCom and shows it; raises
    // "无法读取设备参数！" when the read fails.
    void LoadParams();
    void XP_Button1Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
};
