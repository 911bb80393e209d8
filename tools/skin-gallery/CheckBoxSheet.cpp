#include "Gallery.h"
#include "framework/Forms.h"
#include "skin/XP_CheckBox.h"

#include <QApplication>
#include <QTest>

void CheckBoxSheets(const QString &folder)
{
    TForm form;
    form.setFont(ControlFont());
    form.resize(200, 60);
    TXP_CheckBox box(&form);
    box.move(10, 10);
    box.SetCaption(QStringLiteral("DHCP Enable"));
    TXP_CheckBox accel(&form);
    accel.move(10, 30);
    accel.SetCaption(QStringLiteral("&Auto mode"));

    QList<GalleryTile> tiles;
    for (bool checked : {false, true}) {
        box.SetChecked(checked);
        const QString state = checked ? QStringLiteral("checked") : QStringLiteral("unchecked");
        tiles.append({state, box.RenderState(1)});
        tiles.append({state + QStringLiteral("-hot"), box.RenderState(checked ? 6 : 5)});
        box.setEnabled(false);
        tiles.append({state + QStringLiteral("-disabled"), box.RenderState(1)});
        box.setEnabled(true);
    }
    // The focus rectangle needs the real keyboard focus.
    form.show();
    if (QTest::qWaitForWindowActive(&form)) {
        accel.setFocus();
        tiles.append({QStringLiteral("accel-focused"), accel.RenderState(1)});
        accel.SetChecked(true);
        tiles.append({QStringLiteral("accel-checked-focused"), accel.RenderState(1)});
    }
    SaveSheet(folder, QStringLiteral("checkbox"), tiles);
}
