#include "Gallery.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_GroupBox.h"

#include <QLabel>
#include <QLineEdit>

void GroupBoxSheets(const QString &folder)
{
    TForm form;
    form.setFont(ControlFont());
    form.resize(400, 300);
    QList<GalleryTile> tiles;

    TXP_GroupBox empty(&form);
    tiles.append({QStringLiteral("empty-caption"), empty.Render()});

    TXP_GroupBox device(&form);
    device.SetCaption(QStringLiteral("&Device"));
    auto *label = new QLabel(QStringLiteral("S/N"), &device);
    label->move(12, 24);
    auto *edit = new QLineEdit(QStringLiteral("0123456789"), &device);
    edit->setGeometry(60, 22, 110, 21);
    auto *button = new TXP_Button(&device);
    button->setGeometry(40, 60, 122, 24);
    button->SetCaption(QStringLiteral("Parameters(&P)..."));
    tiles.append({QStringLiteral("caption-with-children"), device.grab().toImage()});
    device.setEnabled(false);
    tiles.append({QStringLiteral("disabled"), device.Render()});

    TXP_GroupBox narrow(&form);
    narrow.resize(60, 40);
    narrow.SetCaption(QStringLiteral("A caption longer than the box"));
    tiles.append({QStringLiteral("long-caption"), narrow.Render()});
    SaveSheet(folder, QStringLiteral("groupbox"), tiles);
}
