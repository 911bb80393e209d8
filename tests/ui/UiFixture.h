#pragma once

#include "device/EDFACom.h"
#include "device/NetSettings.h"
#include "framework/Application.h"
#include "support/PtyPair.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"
#include "ui/MainFrm.h"
#include "ui/StdControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/file.h>

#include <functional>
#include <memory>

// One message box the program showed: title, text, icon.
struct TShownBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon;
};

// Watches the application for modal windows: every message box is recorded
// and confirmed with OK; a window of class W shown modally runs the test's
// script for it once the modal loop runs (the script must end the window).
class TModalWatch : public QObject {
public:
    TModalWatch() { qApp->installEventFilter(this); }
    ~TModalWatch() override { qApp->removeEventFilter(this); }

    QList<TShownBox> Boxes;
    // Called with each non-message-box window shown while a modal loop runs.
    std::function<void(QWidget *)> OnModal;
    int ModalWindows = 0;
    // Windows the script left open (the watch closed them).
    int LeftOpen = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!widget->isWindow())
            return false;
        if (auto *box = qobject_cast<QMessageBox *>(widget)) {
            Boxes.append({box->windowTitle(), box->text(), box->icon()});
            QPointer<QMessageBox> guarded(box);
            QTimer::singleShot(0, box, [guarded] {
                if (guarded)
                    guarded->button(QMessageBox::Ok) ? guarded->button(QMessageBox::Ok)->click()
                                                     : guarded->accept();
            });
        } else if (qobject_cast<TForm *>(widget) && widget != MainForm) {
            ++ModalWindows;
            QPointer<QWidget> guarded(widget);
            QTimer::singleShot(0, widget, [this, guarded] {
                if (!guarded)
                    return;
                if (OnModal)
                    OnModal(guarded);
                // A script that did not end the window must not hang the test.
                if (guarded && guarded->isVisible()) {
                    ++LeftOpen;
                    guarded->close();
                }
            });
        }
        return false;
    }
};

// Takes the URLs the program asks the desktop to open (http and https),
// instead of starting a browser.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    TUrlCatcher()
    {
        QDesktopServices::setUrlHandler("http", this, "Open");
        QDesktopServices::setUrlHandler("https", this, "Open");
    }
    ~TUrlCatcher() override
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl &url) { Urls << url; }
};

// Holds a port the way another program does: open and locked.
class TPortHolder {
public:
    explicit TPortHolder(const QString &path)
    {
        FFd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        FHeld = FFd >= 0 && flock(FFd, LOCK_EX | LOCK_NB) == 0;
    }
    ~TPortHolder()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    bool Held() const { return FHeld; }

private:
    int FFd = -1;
    bool FHeld = false;
};

inline TColor LabelColor(const QLabel *label)
{
    return QColorToColor(label->palette().color(QPalette::WindowText));
}

inline TDeviceInfo &InfoOf(TSimConfig &config)
{
    return config.Info;
}

inline quint32 Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return quint32(a) | quint32(b) << 8 | quint32(c) << 16 | quint32(d) << 24;
}

// A simulated device of the given type on COM1, a fresh store, and the main
// window created on it (the first read happens in the constructor).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumora::test::ResetConfigHome();
        Application().SetTitle(QStringLiteral("LumoraV1.2"));
        NetSettings = TNetSettings{};
        DeviceInfo = TDeviceInfo{};
    }
    void TearDown() override
    {
        Form.reset();
        Application().CancelTerminate();
    }

    // Points COM<port> at the simulator's line.
    void MapSim(int port = 1) { lumora::test::MapPort(port, Sim.SlavePath()); }
    void SetDevice(const std::function<void(TSimConfig &)> &change)
    {
        TSimConfig config = Sim.Config();
        change(config);
        Sim.SetConfig(config);
    }
    // Creates the main window (which opens COM<stored> and reads the device)
    // and shows it.
    void StartProgram()
    {
        Form = std::make_unique<TMainForm>();
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    void Activate()
    {
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
    // COM1 on the simulator, the program started and its window active.
    void StartOnSim()
    {
        MapSim();
        StartProgram();
        if (!HasFatalFailure())
            Activate();
    }

    QString Status() const { return Form->MsgLabel->text(); }
    TColor StatusColor() const { return LabelColor(Form->MsgLabel); }

    // A key pressed in window, delivered where the keyboard input goes: to
    // the focused widget, else to the window itself.
    static void PressKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == window ? focus : window, key, modifiers);
    }

    // Left click in the middle of a widget.
    static void ClickOn(QWidget *widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    lumora::test::TSimLine Sim;
    TModalWatch Watch;
    std::unique_ptr<TMainForm> Form;
};

// The program running on a simulated device on COM1, its window active, at
// the start of every test.
class RunningProgramTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        StartOnSim();
    }
};

inline constexpr TColor Red = RGB(255, 0, 0);
inline constexpr TColor Green = RGB(0, 128, 0);
