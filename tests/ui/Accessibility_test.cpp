#include "UiFixture.h"

#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "skin/XP_Form.h"
#include "ui/CommissionFrm.h"
#include "ui/ParamsFrm.h"
#include "ui/SetupFrm.h"
#include "ui/StdAccessible.h"

#include <QAccessible>
#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// What a screen reader would say of one control: role, name, value and the
// states it announces.
struct TSpoken {
    QAccessible::Role Role;
    QString Name;
    QString Value;
    QAccessible::State State;
};

TSpoken Speak(QAccessibleInterface *iface)
{
    return {iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Value), iface->state()};
}

TSpoken Speak(QObject *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    EXPECT_NE(iface, nullptr);
    return Speak(iface);
}

// Every interface under root, walked through the accessibility tree as
// assistive technology walks it.
void Walk(QAccessibleInterface *root, QList<QAccessibleInterface *> &all)
{
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        EXPECT_EQ(root->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), root);
        all << child;
        Walk(child, all);
    }
}

// The names of the interactive and text controls of a window reachable in
// the tree; none of them may be nameless.
QStringList NamedControls(QWidget *window)
{
    QList<QAccessibleInterface *> all;
    Walk(QAccessible::queryAccessibleInterface(window), all);
    QStringList names;
    for (QAccessibleInterface *iface : all) {
        const QAccessible::Role role = iface->role();
        if (role != QAccessible::Button && role != QAccessible::CheckBox &&
            role != QAccessible::EditableText && role != QAccessible::ComboBox && role != QAccessible::Link)
            continue;
        if (iface->state().invisible)
            continue;
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << iface->role();
        names << iface->text(QAccessible::Name);
    }
    return names;
}

QStringList CaptionButtons(TXP_Form *frame)
{
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(frame);
    QStringList names;
    for (int i = 0; i < bar->childCount(); ++i) {
        EXPECT_EQ(bar->child(i)->role(), QAccessible::Button);
        names << bar->child(i)->text(QAccessible::Name);
    }
    return names;
}

void Press(QAccessibleInterface *iface, const QString &action)
{
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(action);
    QCoreApplication::processEvents();
}

class Accessibility : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        InstallAccessibility();
        QAccessible::setActive(true);
    }
};

TEST_F(Accessibility, MainWindowControlsSayRoleNameStateAndValue)
{
    StartOnSim();
    const QStringList names = NamedControls(Form.get());
    for (const char *name : {"Setup...", "Open", "Save", "Close", "DHCP Enable", "S/N", "MAC ADDR",
                             "HW version", "FW version", "Firmware update time", "Local IP", "Server IP",
                             "Gateway IP", "Subnet mask", "Visit VMO web site", "Minimize"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;

    const TSpoken open = Speak(Form->XP_Button2);
    EXPECT_EQ(open.Role, QAccessible::Button);
    EXPECT_EQ(open.Name, "Open");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Form->XP_Button2)
                  ->actionInterface()
                  ->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList("Alt+O"));

    const TSpoken serial = Speak(Form->Sn);
    EXPECT_EQ(serial.Role, QAccessible::EditableText);
    EXPECT_EQ(serial.Name, "S/N");
    EXPECT_EQ(serial.Value, "0612345678");
    EXPECT_TRUE(serial.State.readOnly);
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(Form->Sn)->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), "0612345678");

    Form->LocalIp->setFocus();
    const TSpoken local = Speak(Form->LocalIp);
    EXPECT_EQ(local.Role, QAccessible::EditableText);
    EXPECT_EQ(local.Name, "Local IP");
    EXPECT_EQ(local.Value, "192.168.1.100");
    EXPECT_TRUE(local.State.focused);
    EXPECT_FALSE(local.State.disabled);

    const TSpoken dhcp = Speak(Form->DHCP);
    EXPECT_EQ(dhcp.Role, QAccessible::CheckBox);
    EXPECT_TRUE(dhcp.State.checkable);
    EXPECT_FALSE(dhcp.State.checked);
    // The hidden Parameters button is there for a reader, but hidden.
    EXPECT_TRUE(Speak(Form->ParamsButton).State.invisible);
    EXPECT_EQ(Speak(Form->Label7).Role, QAccessible::Link);
    EXPECT_EQ(Speak(Form->Label3).Role, QAccessible::StaticText);
    EXPECT_EQ(Speak(Form->StatusBar).Role, QAccessible::StatusBar);
    EXPECT_EQ(Speak(Form->MsgLabel).Name, " Device connected.");

    // Toggling the check box through its action is the user's toggle: the
    // address edits follow, and both say so.
    Press(QAccessible::queryAccessibleInterface(Form->DHCP), QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(Speak(Form->DHCP).State.checked);
    EXPECT_TRUE(Speak(Form->LocalIp).State.disabled);
    EXPECT_FALSE(Speak(Form->ManageIp).State.disabled);

    // The frame is the title bar named by the window's caption.
    const TSpoken bar = Speak(Form->XP_Form1);
    EXPECT_EQ(bar.Role, QAccessible::TitleBar);
    EXPECT_EQ(bar.Name, Form->windowTitle());
}

TEST_F(Accessibility, CaptionButtonsAreButtonsThatCanBePressed)
{
    MapSim();
    StartProgram();
    TXP_Form *frame = Form->XP_Form1;
    EXPECT_EQ(CaptionButtons(frame), QStringList({"Minimize", "Close"}));
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(frame);
    QAccessibleInterface *close = bar->child(1);
    EXPECT_EQ(close->rect(), QRect(frame->mapToGlobal(QPoint(469, 7)), QSize(15, 16)));
    EXPECT_EQ(bar->childAt(close->rect().center().x(), close->rect().center().y()), close);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Form.get())->role(), QAccessible::Window);

    frame->SetBtnMax(true);
    frame->SetBtnHelp(true);
    EXPECT_EQ(CaptionButtons(frame), QStringList({"Help", "Minimize", "Maximize", "Close"}));
    frame->SetBorderStyle(bsDialog);
    EXPECT_EQ(CaptionButtons(frame), QStringList({"Help", "Close"}));
    frame->SetBorderStyle(bsSingle);
    frame->SetBtnMax(false);
    frame->SetBtnHelp(false);

    // Hovering lights the button up for the reader as well.
    QTest::mouseMove(frame, QPoint(476, 15));
    EXPECT_TRUE(close->state().hotTracked);

    Press(close, QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(Form->isVisible());
}

// Without the main window's fixture, whose watch closes every other window
// shown.
TEST(AccessibilityOfDialogs, ParametersAndSetupWindowsAreNamed)
{
    InstallAccessibility();
    TParamsForm params;
    params.show();
    QCoreApplication::processEvents();
    const QStringList names = NamedControls(&params);
    for (const char *name :
         {"关 闭(C)", "反向发射功率", "设备温度", "A路输入光功率", "B路输入光功率", "24V电源", "15V电源",
          "8V电源", "收发器电源", "A、B路切换方式", "当前输出通道", "盒盖状态", "Close"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
    EXPECT_EQ(CaptionButtons(params.XP_Form1), QStringList({"Close"}));

    TSetupForm setup;
    setup.show();
    QCoreApplication::processEvents();
    const QStringList setupNames = NamedControls(&setup);
    EXPECT_TRUE(setupNames.contains("OK"));
    EXPECT_TRUE(setupNames.contains("COM1"));
    EXPECT_EQ(Speak(setup.PortCB).Role, QAccessible::ComboBox);
    EXPECT_EQ(Speak(setup.XP_Button1).Role, QAccessible::Button);
    EXPECT_EQ(Speak(setup.XP_Button1).Name, "OK");
    setup.XP_Button1->setEnabled(false);
    EXPECT_TRUE(Speak(setup.XP_Button1).State.disabled);
}

// The commissioning window: every control named and on the Tab round; the
// table's cells readable one by one.
TEST(AccessibilityOfDialogs, CommissioningWindowIsNamedAndItsCellsRead)
{
    InstallAccessibility();
    QAccessible::setActive(true);
    QTemporaryDir dir;
    QFile plan(dir.filePath("plan.csv"));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write("serial,label,dhcp,local,server,gateway,mask\n0600000001,rack 1,off,10.0.1.1,,,\n");
    plan.close();
    TCommissionForm form(dir.filePath("line"));
    ASSERT_TRUE(form.OpenPlan(plan.fileName()));
    form.show();
    form.FilterEdit->setText("rack"); // shows the edit's clear button
    QCoreApplication::processEvents();
    const QStringList names = NamedControls(&form);
    for (const char *name : {"Open plan...", "Verify each write", "Filter", "Clear filter", "Start", "Stop",
                             "Export report...", "Minimize"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
    // A list box is named by its label through a relation (its name is its
    // value on Linux).
    const auto labels = QAccessible::queryAccessibleInterface(form.PortCB)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->object(), form.PortLabel);
    const QList<QWidget *> stops = form.TabStops();
    for (QWidget *control :
         std::initializer_list<QWidget *>{form.OpenButton, form.PortCB, form.VerifyBox, form.FilterEdit,
                                          form.Units, form.StartButton, form.StopButton, form.ExportButton})
        EXPECT_TRUE(stops.contains(control)) << control->metaObject()->className();

    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(form.Units);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), "Units");
    QAccessibleTableInterface *cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->columnCount(), 4);
    QStringList row;
    for (int column = 0; column < 4; ++column)
        row << cells->cellAt(0, column)->text(QAccessible::Name);
    EXPECT_EQ(row, (QStringList{"0600000001", "rack 1", "DHCP off, Local IP 10.0.1.1", "planned"}));
    EXPECT_EQ(cells->columnDescription(3), "State");
}

} // namespace
