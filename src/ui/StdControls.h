#pragma once

#include "device/StatusLabel.h"
#include "framework/Fonts.h"
#include "framework/Types.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <functional>

// The plain controls of the program's windows (labels, text boxes, edits,
// panel, bevel line, status bar, picture), as the window layouts describe
// them. The skinned controls come from the skin unit.

// The background of every panel and text box: RGB(248, 246, 230).
inline constexpr TColor Cream = RGB(248, 246, 230);

// A label, transparent. Placed with a position only, it sizes itself to its
// text and keeps its left and top; placed with a rectangle, its size is fixed.
// The size follows the text from the label's polish on (before it is first
// shown or drawn), so that a window can be built, and a device read, before
// any font is resolved.
class TLabel : public QLabel {
    Q_OBJECT

public:
    TLabel(QWidget *parent, int left, int top, const QString &caption);
    TLabel(QWidget *parent, const QRect &geometry, const QString &caption);
    void SetCaption(const QString &caption);
    void SetFontColor(TColor color);
    void SetLabelFont(const QFont &font);

    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

protected:
    bool event(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void FitText();
    bool FAutoSize;
};

// The label the device link reports to: colour first, then text.
class TStatusTextLabel : public TLabel, public TStatusLabel {
public:
    using TLabel::TLabel;
    void SetFontColor(uint32_t Color) override { TLabel::SetFontColor(Color); }
    void SetCaption(const QString &Text) override { TLabel::SetCaption(Text); }
};

// A read-only text box with a soft sunken edge, fixed size.
class TStaticText : public QLabel {
    Q_OBJECT

public:
    TStaticText(QWidget *parent, const QRect &geometry);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A single-line edit with a flat one-pixel edge and no length limit.
class TEdit : public QLineEdit {
public:
    TEdit(QWidget *parent, const QRect &geometry);
};

// A plain panel in one colour.
class TPanel : public QWidget {
public:
    TPanel(QWidget *parent, const QRect &geometry, TColor color);
};

// A separator that draws only its bottom edge, lowered.
class TBevel : public QWidget {
    Q_OBJECT

public:
    TBevel(QWidget *parent, const QRect &geometry);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A status bar with panels, docked to the bottom of its parent. The last
// panel takes the rest of the bar, whatever width it was given.
class TStatusBar : public QWidget {
    Q_OBJECT

public:
    struct TPanelItem {
        QString Text;
        int Width;
        bool Centred;
        bool Bevel;
    };
    TStatusBar(QWidget *parent, const QRect &geometry, TColor color, QList<TPanelItem> panels);
    const QList<TPanelItem> &Panels() const { return FPanels; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<TPanelItem> FPanels;
};

// A picture stretched to fill its box; a null picture leaves the box empty
// (transparent). The picture is made by Load when it is first needed (at
// the first paint, as a rule), so building the window decodes nothing.
class TPicture : public QWidget {
    Q_OBJECT

public:
    TPicture(QWidget *parent, const QRect &geometry, std::function<QImage()> Load);
    const QImage &Picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    mutable std::function<QImage()> FLoad;
    mutable QImage FPicture;
};
