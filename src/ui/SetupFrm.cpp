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
    const TWindowParts parts =
        SetUpWindow(this, QStringLiteral("Serial port setup"), {237, 74}, /*btnMin*/ false);
    Panel1 = parts.Panel1;
    XP_Form1 = parts.XP_Form1;
    Panel1->setFont(LatinFont());

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

    XP_Button1 = MakeButton(Panel1, {141, 8, 75, 24}, QStringLiteral("&OK"));
    XP_Button1->OnClick = [this](QObject *sender) { Button1Click(sender); };

    SetTabOrder({PortCB, XP_Button1});
}

void TSetupForm::showEvent(QShowEvent *event)
{
    TForm::showEvent(event);
    CentreOver(this, MainForm);
}

void TSetupForm::Button1Click(QObject *)
{
    SetModalResult(mrOk);
}
