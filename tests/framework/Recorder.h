#pragma once

// A framework control that records the hooks it receives, for the tests of
// the framework layer.

#include "base/LumoraError.h"
#include "framework/Canvas.h"
#include "framework/Controls.h"
#include "support/QtPrinters.h"

#include <QKeyEvent>
#include <QStringList>

class TRecorder : public TCustomControl {
public:
    explicit TRecorder(QWidget *parent, const QString &accel = QString()) : TCustomControl(parent)
    {
        if (!accel.isEmpty())
            SetCaption(accel);
        OnClick = [this](QObject *) { Log << QStringLiteral("click"); };
    }

    QStringList Log;
    bool ClaimKeys = false;  // claim Enter / Escape offered as dialog keys
    bool ThrowOnKey = false; // raise an error from the key-down hook
    QWidget *LastFocusNotice = nullptr;
    int FocusNotices = 0;

    bool DialogChar(QChar ch) override
    {
        if (!IsAccel(ch, Caption()))
            return TCustomControl::DialogChar(ch);
        Log << QStringLiteral("accel %1").arg(ch);
        return true;
    }
    bool DialogKey(int key, Qt::KeyboardModifiers shift) override
    {
        if (!ClaimKeys)
            return TCustomControl::DialogKey(key, shift);
        Log << QStringLiteral("dialogkey %1").arg(key);
        return true;
    }
    void FocusChanged(QWidget *focused) override
    {
        LastFocusNotice = focused;
        ++FocusNotices;
    }

protected:
    void Paint() override { Canvas().fill(Qt::gray); }
    void MouseDown(Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) override
    {
        Log << QStringLiteral("down %1,%2").arg(x).arg(y);
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) override
    {
        Log << QStringLiteral("up %1,%2").arg(x).arg(y);
        TCustomControl::MouseUp(b, s, x, y);
    }
    void MouseDblClick(Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) override
    {
        Log << QStringLiteral("dblclick");
        TCustomControl::MouseDblClick(b, s, x, y);
    }
    void MouseEnter() override { Log << QStringLiteral("enter"); }
    void MouseLeave() override { Log << QStringLiteral("leave"); }
    void KeyDown(QKeyEvent *event) override
    {
        if (ThrowOnKey)
            throw ELumoraError(QStringLiteral("Key refused"));
        Log << QStringLiteral("key %1").arg(KeyCode(event));
    }
    void FocusReceived() override { Log << QStringLiteral("focusin"); }
    void FocusLost() override { Log << QStringLiteral("focusout"); }
};
