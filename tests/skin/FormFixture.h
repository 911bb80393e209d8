#pragma once

// A top-level form skinned by a frame, set up the way the program's windows
// are: the frame first, a client panel on top of it, bsSingle, no maximise
// button. Pixel and mouse helpers for the frame tests.

#include "framework/Forms.h"
#include "skin/XP_Form.h"
#include "skin/XP_Unit.h"

#include <QCloseEvent>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// A form that counts its close requests.
class TTestForm : public TForm {
public:
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeRequests;
        TForm::closeEvent(event);
    }
};

struct FramedWindow {
    std::unique_ptr<TTestForm> form;
    TXP_Form *frame = nullptr;
    QWidget *panel = nullptr;

    explicit FramedWindow(QSize size, bool btnMin = true,
                          const QString &caption = QStringLiteral("LumoraV1.2"))
        : form(std::make_unique<TTestForm>())
    {
        form->SetCaption(caption);
        form->resize(size);
        form->move(100, 100);
        frame = new TXP_Form(form.get());
        frame->SetBtnMax(false);
        frame->SetBtnMin(btnMin);
        frame->SetBorderStyle(bsSingle);
        panel = new QWidget(form.get());
        panel->setAutoFillBackground(true);
        frame->SetClientPanel(panel);
    }

    void Show()
    {
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // What the window shows (the window mask aside).
    QImage Shot() const { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

inline QRgb Rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

// The frame `index` of a skin strip as the frame cuts it.
inline QImage SkinFrame(const char *name, int count, int index, bool horizontal)
{
    TBitmap frame;
    CutSprite(LoadSkinBitmap(name), frame, count, index, horizontal);
    return frame.Image().convertToFormat(QImage::Format_RGB32);
}

// True when the caption button frame shows at (x, y): every pixel but the
// magenta corners equals the skin.
inline ::testing::AssertionResult ButtonShows(const QImage &shot, int x, int y, const char *skin, int index)
{
    const QImage frame = SkinFrame(skin, 3, index, true);
    for (int j = 0; j < frame.height(); ++j)
        for (int i = 0; i < frame.width(); ++i) {
            const QRgb want = frame.pixel(i, j);
            if (want == qRgb(255, 0, 255)) {
                if (shot.pixel(x + i, y + j) == want)
                    return ::testing::AssertionFailure() << "magenta shows at " << i << "," << j;
                continue;
            }
            if (shot.pixel(x + i, y + j) != want)
                return ::testing::AssertionFailure()
                       << skin << " frame " << index << " differs at " << i << "," << j;
        }
    return ::testing::AssertionSuccess();
}

inline bool SameRect(const TRect &r, int left, int top, int right, int bottom)
{
    return r == Rect(left, top, right, bottom);
}
