#include "Gallery.h"
#include "framework/Forms.h"
#include "skin/XP_Form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTest>

namespace {

// The frame's pixels as the window shows them: cut to the window's outline,
// the corners outside it in the gallery's grey.
QImage Outlined(TForm &form, TXP_Form &frame)
{
    QImage image(form.size(), QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    QPainter painter(&image);
    painter.setClipRegion(form.mask());
    painter.drawImage(0, 0, frame.Canvas());
    return image;
}

void SetActive(TForm &form, bool active)
{
    QEvent event(active ? QEvent::WindowActivate : QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&form, &event);
}

// One window of the program: the frame as its layout sets it, with the
// cream client panel inside.
QList<GalleryTile> WindowLooks(const QString &name, QSize size, const QString &caption, bool btnMin)
{
    TForm form;
    form.SetCaption(caption);
    form.resize(size);
    TXP_Form frame(&form);
    frame.SetBtnMax(false);
    frame.SetBtnMin(btnMin);
    frame.SetBorderStyle(bsSingle);
    QWidget panel(&form);
    panel.setAutoFillBackground(true);
    frame.SetClientPanel(&panel);
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    SetActive(form, true);

    QList<GalleryTile> tiles;
    tiles.append({name + QStringLiteral("-active"), Outlined(form, frame)});
    const QPoint onClose(size.width() - 16, 15);
    QTest::mouseMove(form.windowHandle(), onClose);
    tiles.append({name + QStringLiteral("-close-hover"), Outlined(form, frame)});
    frame.DrawCaptionButtons(frame.Canvas(), TXP_Form::csClosePressed);
    tiles.append({name + QStringLiteral("-close-pressed"), Outlined(form, frame)});
    if (btnMin) {
        QTest::mouseMove(form.windowHandle(), onClose - QPoint(15, 0));
        tiles.append({name + QStringLiteral("-min-hover"), Outlined(form, frame)});
    }
    SetActive(form, false);
    tiles.append({name + QStringLiteral("-inactive"), Outlined(form, frame)});
    return tiles;
}

// Every caption button, and a picture in the caption.
QList<GalleryTile> ButtonSetLooks()
{
    TForm form;
    form.SetCaption(QStringLiteral("All buttons"));
    form.resize(260, 60);
    TXP_Form frame(&form);
    frame.SetBtnHelp(true);
    frame.SetPicture(SamplePicture());
    frame.SetPictureTransColor(RGB(255, 0, 255));
    frame.SetPictureTrans(true);
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    SetActive(form, true);

    QList<GalleryTile> tiles;
    tiles.append({QStringLiteral("sizeable-all-buttons"), Outlined(form, frame)});
    for (int code : {TXP_Form::csMaxHover, TXP_Form::csMinHover, TXP_Form::csHelpHover})
        for (int state : {code, code * 10}) {
            frame.DrawCaptionButtons(frame.Canvas(), state);
            tiles.append({QStringLiteral("sizeable-state-%1").arg(state), Outlined(form, frame)});
        }
    form.showMaximized();
    (void)QTest::qWaitFor([&] { return form.isMaximized(); });
    QCoreApplication::processEvents();
    tiles.append({QStringLiteral("maximised-restore-button"),
                  Outlined(form, frame).copy(form.width() - 100, 0, 100, 29)});
    return tiles;
}

} // namespace

void FormSheets(const QString &folder)
{
    QList<GalleryTile> tiles =
        WindowLooks(QStringLiteral("main"), QSize(492, 353), QStringLiteral("LumoraV1.3--EDFA"), true);
    tiles += WindowLooks(QStringLiteral("setup"), QSize(237, 74), QStringLiteral("Serial port setup"), false);
    tiles += WindowLooks(QStringLiteral("params"), QSize(408, 271), QStringLiteral("设备参数"), false);
    SaveSheet(folder, QStringLiteral("form"), tiles);
    SaveSheet(folder, QStringLiteral("form-buttons"), ButtonSetLooks());
}
