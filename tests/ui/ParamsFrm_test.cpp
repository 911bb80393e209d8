#include "UiFixture.h"

#include "skin/XP_Button.h"
#include "skin/XP_GroupBox.h"
#include "ui/ParamsFrm.h"

namespace {

TParamSlot Slot(int hi, int lo, int unused = 0x5A)
{
    return {uint8_t(unused), uint8_t(hi), uint8_t(lo)};
}

// The eleven boxes in the order of the record's quantities.
QStringList Texts(const TParamsForm &f)
{
    return {f.textbean->text(), f.textpowera->text(), f.texttemp->text(), f.textpowerb->text(),
            f.textv24->text(),  f.textv15->text(),    f.textopti->text(), f.textv8->text(),
            f.textbox->text(),  f.textpath->text(),   f.textab->text()};
}

TEST(ParamsWindow, ShowsEachQuantityInItsFormat)
{
    TParamsForm form;
    TDeviceParams p{};
    p.ReversePower = Slot(0x00, 0x23);
    p.InputPowerA = Slot(0xFF, 0xFF);
    p.Temperature = Slot(0x00, 0x19);
    p.InputPowerB = Slot(0xFF, 0xFE);
    p.Supply24V = Slot(0x00, 0xF0);
    p.Supply15V = Slot(0x80, 0x00);
    p.TransceiverSupply = Slot(0x01, 0xF4);
    p.Supply8V = Slot(0x00, 0x51);
    p.LidState = 1;
    p.SwitchFlags = 0x81;
    form.ShowParams(p);
    EXPECT_EQ(Texts(form), QStringList({"3.5dBm", QStringLiteral("无"), QStringLiteral("25℃"), "-3276.6dBm",
                                        "24.0V", "0.0V", "5.00V", "8.1V", QStringLiteral("打开"),
                                        QStringLiteral("B路"), QStringLiteral("自动")}));

    p.ReversePower = Slot(0x80, 0x23, 0x00);
    p.InputPowerA = Slot(0x80, 0x00);
    p.Temperature = Slot(0xFF, 0xFF);
    p.InputPowerB = Slot(0xFF, 0xFF);
    p.Supply24V = Slot(0xFF, 0xFF);
    p.LidState = 2;
    p.SwitchFlags = 0x7E;
    form.ShowParams(p);
    EXPECT_EQ(Texts(form), QStringList({"-3.5dBm", "0.0dBm", QStringLiteral("-32767℃"), QStringLiteral("无"),
                                        "-3276.7V", "0.0V", "5.00V", "8.1V", QStringLiteral("闭合"),
                                        QStringLiteral("A路"), QStringLiteral("手动")}));
}

TEST(ParamsWindow, Layout)
{
    TParamsForm form;
    EXPECT_EQ(form.size(), QSize(408, 271));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("设备参数"));
    EXPECT_EQ(form.Panel1->geometry(), QRect(3, 29, 402, 239));
    EXPECT_EQ(form.XP_Button1->geometry(), QRect(168, 208, 77, 24));
    EXPECT_EQ(form.XP_Button1->Caption(), QStringLiteral("关 闭(&C)"));
    EXPECT_EQ(form.XP_GroupBox1->geometry(), QRect(8, 6, 385, 195));
    EXPECT_EQ(form.textbox->geometry(), QRect(107, 163, 70, 17));
    EXPECT_EQ(form.Label8->pos(), QPoint(202, 102));
    EXPECT_EQ(form.Label6->text(), QStringLiteral("A、B路切换方式"));
    EXPECT_EQ(form.Label3->font().family(), form.font().family());
}

class Parameters : public RunningProgramTest {
protected:
    void SetUp() override
    {
        RunningProgramTest::SetUp();
        // The button is hidden in the layout; show it to reach the window.
        Form->ParamsButton->setVisible(true);
    }
};

TEST_F(Parameters, ShowsTheDevicesValuesAndClosesWithAltC)
{
    QStringList shown;
    bool buttonFocused = false;
    Watch.OnModal = [&](QWidget *window) {
        auto *params = qobject_cast<TParamsForm *>(window);
        ASSERT_NE(params, nullptr);
        shown = Texts(*params);
        params->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(params));
        buttonFocused = QApplication::focusWidget() == params->XP_Button1;
        PressKey(params, Qt::Key_C, Qt::AltModifier);
    };
    ClickOn(Form->ParamsButton);
    EXPECT_EQ(Watch.ModalWindows, 1);
    EXPECT_EQ(Watch.LeftOpen, 0);
    EXPECT_EQ(Sim.CountOf(3), 1);
    // The sample device: 3.5 dBm reverse, 6.2 dBm on A, no value on B.
    EXPECT_EQ(shown, QStringList({"3.5dBm", "6.2dBm", QStringLiteral("25℃"), QStringLiteral("无"), "24.0V",
                                  "15.2V", "5.00V", "8.1V", QStringLiteral("闭合"), QStringLiteral("A路"),
                                  QStringLiteral("自动")}));
    EXPECT_TRUE(Watch.Boxes.isEmpty());
    EXPECT_TRUE(buttonFocused);
}

TEST_F(Parameters, CloseButtonEndsTheWindow)
{
    Watch.OnModal = [&](QWidget *window) { ClickOn(qobject_cast<TParamsForm *>(window)->XP_Button1); };
    ClickOn(Form->ParamsButton);
    EXPECT_EQ(Watch.ModalWindows, 1);
    EXPECT_EQ(Watch.LeftOpen, 0);
}

TEST_F(Parameters, FailedReadShowsTheErrorAndNoWindow)
{
    Sim.SetFaults({.Silent = true});
    ClickOn(Form->ParamsButton);
    EXPECT_EQ(Watch.ModalWindows, 0);
    ASSERT_EQ(Watch.Boxes.size(), 1);
    EXPECT_EQ(Watch.Boxes[0].Text, QStringLiteral("无法读取设备参数！."));
    EXPECT_EQ(Watch.Boxes[0].Title, "LumoraV1.2");
    EXPECT_EQ(Watch.Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(Status(), "Device response timeout!");
    EXPECT_EQ(StatusColor(), Red);
}

} // namespace
