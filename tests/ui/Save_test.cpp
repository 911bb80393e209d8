#include "UiFixture.h"

#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "ui/StdControls.h"

namespace {

class Save : public RunningProgramTest {
protected:
    void SetUp() override
    {
        RunningProgramTest::SetUp();
        Sim.ClearReceived();
    }
    void Type(TEdit *edit, const QString &text) { edit->setText(text); }
    void Fill(const QString &local, const QString &server, const QString &gateway, const QString &mask)
    {
        Type(Form->LocalIp, local);
        Type(Form->ManageIp, server);
        Type(Form->GateWay, gateway);
        Type(Form->NetMask, mask);
    }
    // The payloads of the command-1 frames the device received.
    QStringList Payloads()
    {
        QStringList out;
        for (const TRequest &r : Sim.Received())
            if (r.Command == 1)
                out << QString::fromLatin1(r.Payload.toHex(' '));
        return out;
    }
    void PressSave() { ClickOn(Form->SaveButton); }
};

TEST_F(Save, StaticAddressesAreSentAndAcknowledged)
{
    Fill("192.168.1.10", "192.168.1.1", "192.168.1.254", "255.255.255.0");
    PressSave();
    EXPECT_EQ(Payloads(), QStringList({"00 c0 a8 01 0a c0 a8 01 01 c0 a8 01 fe ff ff ff 00"}));
    EXPECT_EQ(Status(), "Command success!");
    EXPECT_EQ(StatusColor(), Green);
    EXPECT_TRUE(Form->SaveButton->isEnabled());
    EXPECT_TRUE(Watch.Boxes.isEmpty());
    // The device took the settings: Open shows them.
    ClickOn(Form->XP_Button2);
    EXPECT_EQ(Form->LocalIp->text(), "192.168.1.10");
}

TEST_F(Save, DhcpOnResendsTheDevicesOwnStaticAddresses)
{
    // The device holds 192.168.1.100 / .254 / 255.255.255.0; the user only
    // turns DHCP on and changes the server.
    ClickOn(Form->DHCP);
    Form->LocalIp->setText("ignored: the edit is disabled");
    Type(Form->ManageIp, "10.0.0.1");
    PressSave();
    EXPECT_EQ(Payloads(), QStringList({"01 c0 a8 01 64 0a 00 00 01 c0 a8 01 fe ff ff ff 00"}));
    EXPECT_EQ(Status(), "Command success!");
}

TEST_F(Save, DhcpOnAfterAStaticSaveSendsTheSavedAddresses)
{
    Fill("10.1.2.3", "10.1.2.1", "10.1.2.254", "255.255.0.0");
    PressSave();
    ClickOn(Form->DHCP);
    Fill("1.1.1.1", "10.9.9.9", "2.2.2.2", "3.3.3.3");
    PressSave();
    EXPECT_EQ(Payloads(), QStringList({"00 0a 01 02 03 0a 01 02 01 0a 01 02 fe ff ff 00 00",
                                       "01 0a 01 02 03 0a 09 09 09 0a 01 02 fe ff ff 00 00"}));
}

TEST_F(Save, InvalidAddressesShowTheirMessageAndSendNothing)
{
    struct TCase {
        const char *Local, *Server, *Gateway, *Mask;
        QString Shown;
    };
    const TCase cases[] = {
        {"", "1.1.1.1", "1.1.1.1", "1.1.1.1", QStringLiteral("Invalid local IP！.")},
        {"1.2.3.4 ", "1.1.1.1", "1.1.1.1", "1.1.1.1", QStringLiteral("Invalid local IP！.")},
        {"1.2.3.4", "bad", "1..1.1", "1.1.1.1", "Invalid gateway IP!"}, // first failing check decides
        {"1.2.3.4", "1.1.1.1", "1.1.1.1", "255.255.255.256", "Invalid subnet mask!"},
        {"1.2.3.4", "+$10.0.0.1", "1.1.1.1", "1.1.1.1", "Invalid server IP!"},
    };
    for (const TCase &c : cases) {
        Watch.Boxes.clear();
        Fill(c.Local, c.Server, c.Gateway, c.Mask);
        PressSave();
        ASSERT_EQ(Watch.Boxes.size(), 1) << c.Local;
        EXPECT_EQ(Watch.Boxes[0].Text, c.Shown);
        EXPECT_EQ(Watch.Boxes[0].Title, "LumoraV1.2");
        EXPECT_EQ(Watch.Boxes[0].Icon, QMessageBox::Critical);
        EXPECT_TRUE(Form->SaveButton->isEnabled());
    }
    EXPECT_TRUE(Sim.Received().empty());
    EXPECT_EQ(Status(), " Device connected.");
}

TEST_F(Save, DhcpOnIgnoresAnInvalidLocalAddress)
{
    ClickOn(Form->DHCP);
    Form->LocalIp->setText("not an address");
    PressSave();
    EXPECT_TRUE(Watch.Boxes.isEmpty());
    EXPECT_EQ(Payloads().size(), 1);
}

TEST_F(Save, FailedCollectionKeepsWhatItStored)
{
    Fill("1.2.3.4", "5.6.7.8", "9.9.9.9", "255.0.0.0");
    PressSave();
    // Valid local, invalid gateway: the local address is taken, nothing sent.
    Fill("21.22.23.24", "5.6.7.8", "nope", "255.0.0.0");
    PressSave();
    EXPECT_EQ(Watch.Boxes.size(), 1);
    ClickOn(Form->DHCP);
    PressSave();
    EXPECT_EQ(Payloads(), QStringList({"00 01 02 03 04 05 06 07 08 09 09 09 09 ff 00 00 00",
                                       "01 15 16 17 18 05 06 07 08 09 09 09 09 ff 00 00 00"}));
}

TEST_F(Save, RefusalAndSilenceAreReportedInRed)
{
    Fill("192.168.1.10", "192.168.1.1", "192.168.1.254", "255.255.255.0");
    Sim.SetFaults({.AckCode = 1});
    PressSave();
    EXPECT_EQ(Status(), "Command not support!");
    EXPECT_EQ(StatusColor(), Red);
    Sim.SetFaults({.Silent = true});
    PressSave();
    EXPECT_EQ(Status(), "Command fail!");
    EXPECT_TRUE(Form->SaveButton->isEnabled());
    EXPECT_EQ(Payloads().size(), 2);
}

TEST_F(Save, SaveIsDisabledDuringTheExchange)
{
    Fill("192.168.1.10", "192.168.1.1", "192.168.1.254", "255.255.255.0");
    // Watch the button's enabled changes while the exchange runs.
    bool disabledDuring = false;
    struct TEnabledSpy : QObject {
        bool *Seen;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::EnabledChange && !static_cast<QWidget *>(watched)->isEnabled())
                *Seen = true;
            return false;
        }
    } spy;
    spy.Seen = &disabledDuring;
    Form->SaveButton->installEventFilter(&spy);
    PressSave();
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(Form->SaveButton->isEnabled());
    EXPECT_EQ(Status(), "Command success!");
}

} // namespace
