#include "WindowFrame.h"

#include "JpegImage.h"
#include "StdControls.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_Form.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

TXP_Form *MakeWindowFrame(TForm *owner, QWidget *clientPanel, bool btnMin)
{
    auto *frame = new TXP_Form(owner);
    frame->setGeometry(0, 0, owner->width(), owner->height());
    frame->SetBtnClose(true);
    frame->SetBtnMin(btnMin);
    frame->SetBtnMax(false);
    frame->SetBtnHelp(false);
    frame->SetBorderStyle(bsSingle);
    frame->SetBoldCaption(true);
    frame->SetCaptionShadow(true);
    frame->SetUseSystemFont(true);
    frame->SetMagnet(0);
    frame->SetTopMost(false);
    frame->SetIconOffSet(0);
    frame->SetCaptionOffSet(0);
    frame->SetPictureTrans(false);
    frame->SetColor(Cream);
    frame->SetClientPanel(clientPanel);
    return frame;
}

// The program's icon, made from its files only when a picture of it is
// first asked for (the window system asks when the window is shown, the
// caption bar when it is painted): creating a window decodes nothing.
class TProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine *clone() const override { return new TProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("TProgramIconEngine"); }

private:
    QIcon &Icon()
    {
        if (FIcon.isNull()) {
            for (int size : {16, 32, 48, 256})
                FIcon.addFile(QStringLiteral(":/ui/lumora-%1.png").arg(size), QSize(size, size));
        }
        return FIcon;
    }
    QIcon FIcon;
};

} // namespace

TWindowParts SetUpWindow(TForm *form, const QString &caption, QSize client, bool btnMin)
{
    form->SetCaption(caption);
    form->resize(client);
    form->setFont(ChineseFont());
    form->setWindowIcon(ProgramIcon());
    Qt::WindowFlags hidden = Qt::WindowMaximizeButtonHint;
    if (!btnMin)
        hidden |= Qt::WindowMinimizeButtonHint;
    form->setWindowFlags(form->windowFlags() & ~hidden);
    auto *panel = new TPanel(form, {3, 29, client.width() - 6, client.height() - 32}, Cream);
    return {panel, MakeWindowFrame(form, panel, btnMin)};
}

TXP_Button *MakeButton(QWidget *parent, const QRect &geometry, const QString &caption)
{
    auto *button = new TXP_Button(parent);
    button->setGeometry(geometry);
    button->SetCaption(caption);
    button->SetPicPos(pTop);
    button->SetPicTrans(false);
    button->SetPicOffSet(2);
    return button;
}

QIcon ProgramIcon()
{
    return QIcon(new TProgramIconEngine);
}

QImage SidePicture()
{
    return LoadJpeg(QStringLiteral(":/ui/SidePicture.jpg"));
}

void CentreOnScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move(area.x() + (area.width() - window->width()) / 2,
                     area.y() + (area.height() - window->height()) / 2);
    }
}

void CentreOver(QWidget *window, const QWidget *over)
{
    if (!over) {
        CentreOnScreen(window);
        return;
    }
    const QRect area = over->frameGeometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}
