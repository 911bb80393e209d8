#include "XP_Unit.h"

#include "base/LumoraError.h"
#include "framework/Application.h"

#include <QBitmap>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

bool PointInRect(const TRect &rect, int x, int y)
{
    return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}

void DrawMaskedGlyph(const TBitmap &glyph, QImage &target, int x, int y, TColor color)
{
    if (glyph.Empty())
        return;
    const QImage &pixels = glyph.Image();
    const QRgb key = pixels.pixel(0, pixels.height() - 1) & 0xFFFFFFu;
    const QRgb paint = ColorToQColor(color).rgb();
    for (int i = 0; i < pixels.height(); ++i) {
        for (int j = 0; j < pixels.width(); ++j) {
            const int tx = x + j;
            const int ty = y + i;
            if ((pixels.pixel(j, i) & 0xFFFFFFu) == key || tx < 0 || ty < 0 || tx >= target.width() ||
                ty >= target.height())
                continue;
            target.setPixel(tx, ty, paint);
        }
    }
}

void CutSprite(const TBitmap &source, TBitmap &dest, int count, int index, bool horizontal)
{
    if (count < 1) {
        dest.Clear();
        return;
    }
    QRect frame;
    if (horizontal) {
        const int w = source.Width() / count;
        frame = QRect(w * (index - 1), 0, w, source.Height());
    } else {
        const int h = source.Height() / count;
        frame = QRect(0, h * (index - 1), source.Width(), h);
    }
    dest.SetImage(source.Image().copy(frame));
}

namespace {

// An opaque copy of src's area into dst's area; stretched (nearest pixel)
// when the sizes differ. Empty or inverted areas copy nothing.
void CopyArea(QPainter &painter, const QRect &dst, const QImage &src, const QRect &from)
{
    if (dst.width() <= 0 || dst.height() <= 0 || from.width() <= 0 || from.height() <= 0)
        return;
    painter.drawImage(dst, src, from);
}

// A rectangle from its edges, Right and Bottom exclusive.
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

void StretchSkin(const TBitmap &skin, QImage &target, const TRect &rect)
{
    if (skin.Empty())
        return;
    const QImage &src = skin.Image();
    const int W = src.width();
    const int H = src.height();
    const int DW = rect.Width();
    const int DH = rect.Height();
    if (DW <= 0 || DH <= 0)
        return;
    const int hw = W / 2;
    const int hh = H / 2;

    // Horizontal pass: edges kept, centre column repeated.
    QImage work(DW, H, QImage::Format_RGB32);
    work.fill(Qt::black);
    {
        QPainter painter(&work);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        CopyArea(painter, QRect(DW - W, 0, W, H), src, src.rect());
        CopyArea(painter, Edges(0, 0, DW - hw, H), src, QRect(hw, 0, 1, H));
        CopyArea(painter, Edges(0, 0, hw, H), src, Edges(0, 0, hw, H));
    }
    // Vertical pass: top rows, bottom rows, centre row repeated.
    QImage result(DW, DH, QImage::Format_RGB32);
    result.fill(Qt::black);
    {
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        CopyArea(painter, Edges(0, 0, DW, hh), work, Edges(0, 0, DW, hh));
        CopyArea(painter, Edges(0, DH - hh - 1, DW, DH), work, Edges(0, hh, DW, H));
        CopyArea(painter, Edges(0, hh, DW, DH - hh - 1), work, Edges(0, hh, DW, hh + 1));
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rect.Left, rect.Top, result);
}

namespace {

QString SkinResourcePath(const QString &name)
{
    const QDir dir(QStringLiteral(":/skin"));
    for (const QString &file : dir.entryList(QDir::Files)) {
        if (QFileInfo(file).completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return QString();
}

} // namespace

bool SkinResourceExists(const QString &name)
{
    return !SkinResourcePath(name).isEmpty();
}

TBitmap LoadSkinBitmap(const QString &name)
{
    const QString path = SkinResourcePath(name);
    QImage image;
    if (path.isEmpty() || !image.load(path))
        throw ELumoraError(QStringLiteral("Resource %1 not found").arg(name));
    return TBitmap(image);
}

bool LoadHandCursor(QCursor &cursor)
{
    // The resource holds the cursor's picture above its mask, both 32 x 32
    // and black on white: black picture pixels are black, black mask pixels
    // belong to the cursor, the rest is transparent.
    const QString path = SkinResourcePath(QStringLiteral("XPHANDCUR"));
    QImage image;
    if (path.isEmpty() || !image.load(path) || image.width() != 32 || image.height() != 64)
        return false;
    const QBitmap picture = QBitmap::fromImage(image.copy(0, 0, 32, 32), Qt::ThresholdDither);
    const QBitmap mask = QBitmap::fromImage(image.copy(0, 32, 32, 32), Qt::ThresholdDither);
    cursor = QCursor(picture, mask, 7, 1);
    return true;
}

QString CopyrightNoticeTitle()
{
    return QStringLiteral("版权提示");
}

QString CopyrightNoticeText()
{
    return QStringLiteral("本程序的界面控件组（窗口外框、按钮、复选框、分组框及其皮肤位图）"
                          "仅授权随本程序一同使用。\n"
                          "未经许可，不得将其复制、修改、反编译或单独分发。\n"
                          "控件组按现状提供，不附带任何明示或暗示的担保；"
                          "因使用而产生的后果由使用者自行承担。");
}

void XPUnitInitialization(const QStringList &arguments)
{
    // The cursor's picture is decoded when a control first shows it: nothing
    // before the first device read needs it.
    if (SkinResourceExists(QStringLiteral("XPHANDCUR")))
        Application().RegisterCursor(crXPHand, [] {
            QCursor hand(Qt::ArrowCursor);
            LoadHandCursor(hand);
            return hand;
        });
    if (arguments.size() >= 2 && arguments.at(1).toUpper() == QStringLiteral("/MOSSGLADE")) {
        Application().ShowInformation(CopyrightNoticeText(), CopyrightNoticeTitle());
        Application().Terminate();
    }
}
