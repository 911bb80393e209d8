#include "ParamsFrm.h"

#include "MainFrm.h"
#include "StdControls.h"
#include "WindowFrame.h"
#include "base/LumoraError.h"
#include "skin/XP_Button.h"
#include "skin/XP_Form.h"
#include "skin/XP_GroupBox.h"

TParamsForm::TParamsForm() : TForm(nullptr)
{
    const TWindowParts parts = SetUpWindow(this, QStringLiteral("设备参数"), {408, 271}, /*btnMin*/ false);
    Panel1 = parts.Panel1;
    XP_Form1 = parts.XP_Form1;
    XP_Button1 = MakeButton(Panel1, {168, 208, 77, 24}, QStringLiteral("关 闭(&C)"));
    XP_Button1->OnClick = [this](QObject *sender) { XP_Button1Click(sender); };
    XP_GroupBox1 = new TXP_GroupBox(Panel1);
    XP_GroupBox1->setGeometry(8, 6, 385, 195);
    XP_GroupBox1->SetBorderColor(RGB(208, 208, 191));
    XP_GroupBox1->SetCaptionColor(RGB(2, 70, 207));
    XP_GroupBox1->SetColor(Cream);

    // Each label with its box to the right; every box is 70 x 17.
    QWidget *box = XP_GroupBox1;
    const auto row = [box](TLabel *&label, int lx, int ly, const char *caption, TStaticText *&text, int tx,
                           int ty) {
        label = new TLabel(box, lx, ly, QString::fromUtf8(caption));
        text = new TStaticText(box, {tx, ty, 70, 17});
        label->setBuddy(text); // names the box for assistive technology
    };
    //   label    at        caption            box          at
    row(Label3, 12, 11, "反向发射功率", textbean, 107, 9);
    row(Label4, 202, 11, "设备温度", texttemp, 299, 9);
    row(Label5, 12, 41, "A路输入光功率", textpowera, 107, 39);
    row(Label1, 202, 41, "B路输入光功率", textpowerb, 299, 39);
    row(Label2, 12, 72, "24V电源", textv24, 107, 70);
    row(Label7, 202, 72, "15V电源", textv15, 299, 70);
    row(Label9, 12, 103, "8V电源", textv8, 107, 101);
    row(Label8, 202, 102, "收发器电源", textopti, 299, 100);
    row(Label6, 12, 133, "A、B路切换方式", textab, 107, 131);
    row(Label10, 202, 133, "当前输出通道", textpath, 299, 131);
    row(Label11, 12, 165, "盒盖状态", textbox, 107, 163);
    // Every control of this window is in the window's font.
    for (QWidget *child : findChildren<QWidget *>())
        child->setFont(font());
    for (TLabel *label :
         {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11})
        label->adjustSize();
}

void TParamsForm::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    CentreOver(this, MainForm);
}

void TParamsForm::ShowParams(const TDeviceParams &Params)
{
    const TDeviceParams copy = Params;
    const TParamsTexts texts = ParamsTexts(copy);
    textbean->setText(texts.ReversePower);
    textpowera->setText(texts.InputPowerA);
    texttemp->setText(texts.Temperature);
    textpowerb->setText(texts.InputPowerB);
    textv24->setText(texts.Supply24V);
    textv15->setText(texts.Supply15V);
    textopti->setText(texts.TransceiverSupply);
    textv8->setText(texts.Supply8V);
    textbox->setText(texts.LidState);
    textpath->setText(texts.OutputPath);
    textab->setText(texts.SwitchMode);
}

void TParamsForm::LoadParams()
{
    TDeviceParams params;
    if (!MainForm || !MainForm->FCom || !MainForm->FCom->ReadParams(&params, sizeof params))
        throw ELumoraError(QStringLiteral("无法读取设备参数！"));
    ShowParams(params);
}

void TParamsForm::XP_Button1Click(QObject *)
{
    Close();
}
