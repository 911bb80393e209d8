#include "SetupFrm.h"

#include "MainFrm.h"
#include "StdControls.h"
#include "WindowFrame.h"
#include "skin/XP_Button.h"
#include "skin/XP_Form.h"

#include <QComboBox>
#include <QListView>

TSetupForm::TSetupForm() : TForm(nullptr)
{
    SetCaption(QStringLiteral("Serial port setup"));
    resize(237, 74);
    setFont(ChineseFont());
    setWindowIcon(ProgramIcon());
    setWindowFlags(windowFlags() & ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    Panel1 = new TPanel(this, {3, 29, 231, 42}, Cream);
    Panel1->setFont(LatinFont());
    XP_Form1 = MakeWindowFrame(this, Panel1, /*BtnMin*/ false);

    PortCB = new QComboBox(Panel1);
    PortCB->setGeometry(16, 11, 113, 24);
    PortCB->setEditable(false);
    PortCB->addItems(
        {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4")});
    auto *list = new QListView(PortCB);
    list->setUniformItemSizes(true);
    PortCB->setView(list);
    // Flat: a one-pixel edge, entries 16 pixels high.
    PortCB->setStyleSheet(
        QStringLiteral("QComboBox { border: 1px solid rgb(127, 157, 185); background: white;"
                       " padding: 0px 3px; }"
                       "QComboBox QAbstractItemView::item { height: 16px; }"));
    PortCB->setCurrentIndex(0);

    XP_Button1 = new TXP_Button(Panel1);
    XP_Button1->setGeometry(141, 8, 75, 24);
    XP_Button1->SetCaption(QStringLiteral("&OK"));
    XP_Button1->SetPicPos(pTop);
    XP_Button1->SetPicOffSet(2);
    XP_Button1->OnClick = [this](QObject *sender) { Button1Click(sender); };

    SetTabOrder({PortCB, XP_Button1});
}

void TSetupForm::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    CentreOver(this, MainForm);
    PortCB->setFocus(Qt::OtherFocusReason);
}

void TSetupForm::Button1Click(QObject *)
{
    SetModalResult(mrOk);
}
