#include "UiFixture.h"

#include "framework/Canvas.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "ui/ParamsFrm.h"
#include "ui/SetupFrm.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

// Every text of the three windows measured with the fonts the program draws
// it in, against the layout: a label ends before the control to its right, a
// value the device can produce fits its box, a caption fits its control.

namespace {

int Width(const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

// The widest text of length characters taken from alphabet.
int Widest(const QFont &font, const QString &alphabet, int length)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QChar c : alphabet)
        widest = std::max(widest, metrics.horizontalAdvance(c));
    return widest * length;
}

// Each label ends before the control beside it, its right neighbour.
void ExpectEndBefore(const QList<QLabel *> &labels, const QList<QWidget *> &neighbours)
{
    ASSERT_EQ(labels.size(), neighbours.size());
    for (qsizetype i = 0; i < labels.size(); ++i)
        EXPECT_LT(labels[i]->x() + Width(labels[i]->font(), labels[i]->text()), neighbours[i]->x())
            << labels[i]->text().toStdString();
}

// A read-only box shows its text from the left of its contents, unscrolled.
void ExpectFits(const QLabel *box, int textWidth, const char *what)
{
    EXPECT_LE(textWidth, box->contentsRect().width()) << what;
}

// An edit that does not scroll with the cursor at the end shows all of it.
void ExpectShowsAll(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(int(text.size()));
    EXPECT_EQ(edit->cursorPositionAt(QPoint(5, edit->height() / 2)), 0) << text.toStdString();
}

void ExpectCaptionFits(const TXP_Button *button)
{
    EXPECT_LE(Width(button->font(), StripAccelerators(button->Caption())), button->width() - 6)
        << button->Caption().toStdString();
}

const QString Digits = QStringLiteral("0123456789");

} // namespace

TEST(Fonts, LayoutFacesResolveToTheirStandIns)
{
    EXPECT_EQ(QFontInfo(LatinFont()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(LatinFont()).pixelSize(), 11);
    EXPECT_EQ(QFontInfo(ChineseFont()).family(), "AR PL UMing CN");
    EXPECT_EQ(QFontMetrics(ChineseFont()).height(), 13);
    EXPECT_EQ(ChineseFont().styleStrategy(), QFont::NoAntialias);
}

using TextFit = MainWindowTest;

TEST_F(TextFit, MainWindow)
{
    lumora::test::MapPort(1, "/nonexistent/lumora-tty");
    StartProgram();
    TMainForm &f = *Form;
    ExpectEndBefore(
        {f.Label3, f.Label4, f.Label5, f.Label6, f.Label8, f.Label1, f.Label2, f.Label9, f.Label10},
        {f.Sn, f.Mac, f.HardVersion, f.SoftVersion, f.LastUpdate, f.LocalIp, f.ManageIp, f.GateWay,
         f.NetMask});
    // A labels' column ends before the boxes of the second column start.
    EXPECT_LT(f.Sn->geometry().right(), f.Label4->x());

    ExpectFits(f.Sn, Widest(f.Sn->font(), Digits, 10), "serial number");
    ExpectFits(f.Mac, Widest(f.Mac->font(), Digits + "abcdef", 12), "MAC address");
    ExpectFits(f.HardVersion, Widest(f.HardVersion->font(), Digits + ".", 7), "hardware version");
    ExpectFits(f.SoftVersion, Widest(f.SoftVersion->font(), Digits + ".", 7), "firmware version");
    ExpectFits(f.LastUpdate, Widest(f.LastUpdate->font(), Digits + "-:/. ", 20), "update time");
    for (QLineEdit *edit : {f.LocalIp, f.ManageIp, f.GateWay, f.NetMask})
        ExpectShowsAll(edit, QStringLiteral("255.255.255.255"));

    for (const TXP_Button *button : {f.XP_Button4, f.XP_Button2, f.SaveButton, f.XP_Button1, f.ParamsButton})
        ExpectCaptionFits(button);
    EXPECT_LE(17 + Width(f.DHCP->font(), f.DHCP->Caption()), f.DHCP->width());
    QFont bold = f.Label7->font();
    bold.setBold(true);
    EXPECT_LE(Width(bold, f.Label7->text()), f.Label7->width());
    EXPECT_LE(Width(f.StatusBar->font(), f.StatusBar->Panels()[0].Text), f.StatusBar->Panels()[0].Width - 4);
}

TEST(TextFitParams, WidestValuesFitTheirBoxesAndLabelsEndBeforeThem)
{
    TParamsForm f;
    ExpectEndBefore({f.Label3, f.Label4, f.Label5, f.Label1, f.Label2, f.Label7, f.Label9, f.Label8, f.Label6,
                     f.Label10, f.Label11},
                    {f.textbean, f.texttemp, f.textpowera, f.textpowerb, f.textv24, f.textv15, f.textv8,
                     f.textopti, f.textab, f.textpath, f.textbox});
    ExpectCaptionFits(f.XP_Button1);

    // FF FE, -32766, is the longest value of every quantity ("-3276.6dBm",
    // "-327.66V", "-32766℃"); FF FF is the no-value marker of the powers.
    const TParamSlot widest{0, 0xFF, 0xFE};
    for (const uint8_t flags : {0x00, 0x81}) {
        f.ShowParams({widest, widest, widest, widest, widest, widest, widest, widest, flags, flags});
        for (const TStaticText *box : {f.textbean, f.texttemp, f.textpowera, f.textpowerb, f.textv24,
                                       f.textv15, f.textv8, f.textopti, f.textab, f.textpath, f.textbox})
            ExpectFits(box, Width(box->font(), box->text()), box->text().toUtf8().constData());
    }
}

TEST(TextFitSetup, PortsAndButtonFit)
{
    TSetupForm f;
    ExpectCaptionFits(f.XP_Button1);
    // The list's text area: its width less the drop-down arrow.
    for (int i = 0; i < f.PortCB->count(); ++i)
        EXPECT_LE(Width(f.PortCB->font(), f.PortCB->itemText(i)), f.PortCB->width() - 24);
}
