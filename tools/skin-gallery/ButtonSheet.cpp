#include "Gallery.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"

#include <QFont>

namespace {

QList<GalleryTile> Looks(TXP_Button &button, const QString &prefix)
{
    QList<GalleryTile> tiles;
    const struct {
        const char *name;
        int n;
    } looks[] = {{"normal", 1}, {"pressed", 2}, {"hover", 4}, {"focused", 5}};
    for (const auto &look : looks)
        tiles.append({prefix + QLatin1String(look.name), button.RenderState(look.n)});
    button.setEnabled(false);
    tiles.append({prefix + QStringLiteral("disabled"), button.RenderState(1)});
    button.setEnabled(true);
    return tiles;
}

} // namespace

void ButtonSheets(const QString &folder)
{
    TForm form;
    form.setFont(ControlFont());
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(13);

    TXP_Button open(&form);
    open.setGeometry(0, 0, 96, 24);
    open.SetCaption(QStringLiteral("&Open"));
    TXP_Button setup(&form);
    setup.setGeometry(0, 0, 96, 24);
    setup.SetCaption(QStringLiteral("Setu&p..."));
    TXP_Button close(&form);
    close.setGeometry(0, 0, 75, 25);
    close.setFont(song);
    close.SetCaption(QStringLiteral("关 闭(&C)"));
    QList<GalleryTile> tiles = Looks(open, QStringLiteral("open-"));
    tiles += Looks(setup, QStringLiteral("setup-"));
    tiles += Looks(close, QStringLiteral("close-"));
    SaveSheet(folder, QStringLiteral("button"), tiles);

    TXP_Button top(&form);
    top.setGeometry(0, 0, 75, 48);
    top.SetCaption(QStringLiteral("&Device"));
    top.SetPicture(SamplePicture());
    TXP_Button left(&form);
    left.setGeometry(0, 0, 110, 28);
    left.SetCaption(QStringLiteral("&Connect"));
    left.SetPicture(SamplePicture());
    left.SetPicPos(pLeft);
    left.SetPicTrans(true);
    left.SetPicTransColor(RGB(255, 0, 255));
    TXP_Button amp(&form);
    amp.SetCaption(QStringLiteral("R&&D"));
    QList<GalleryTile> pictures = Looks(top, QStringLiteral("pictop-"));
    pictures += Looks(left, QStringLiteral("picleft-trans-"));
    pictures.append({QStringLiteral("ampersand-75x24"), amp.RenderState(1)});
    SaveSheet(folder, QStringLiteral("button-picture"), pictures);
}
