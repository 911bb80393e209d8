#pragma once

#include "framework/Bitmap.h"
#include "framework/Controls.h"
#include "framework/Types.h"
#include "skin/FormGeometry.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// The pixels the platform's taskbar takes from the bottom of the primary
// screen (0 when there is none or it hides itself).
int GetTaskbarHeight();

// The skinned window frame. Placed on a top-level window (its owner), it
// takes the owner's system border away, fills the owner behind every other
// control and paints the caption bar, borders, caption buttons, caption
// picture and caption text from the XPFORM_ skins; it clips the owner to an
// outline with rounded top corners, gives the borderless owner resize zones,
// keeps it topmost on request and places the client panel inside the borders.
// The caption buttons light up under the pointer and act on release; the
// caption bar drags the owner, which then snaps to the screen edges within
// Magnet pixels.
class TXP_Form : public TGraphicControl {
    Q_OBJECT
public:
    // Caption button state codes of DrawCaptionButtons.
    enum {
        csRepaint = -1, // every shown button in its normal frame, FLastState kept
        csNone = 0,
        csCloseHover = 1,
        csMaxHover = 2,
        csMinHover = 3,
        csHelpHover = 4,
        csClosePressed = 10,
        csMaxPressed = 20,
        csMinPressed = 30,
        csHelpPressed = 40,
    };

    explicit TXP_Form(QWidget *owner);
    ~TXP_Form() override;

    bool BtnClose() const { return FBtnClose; }
    void SetBtnClose(bool value) { SetAndRepaint(FBtnClose, value); }
    bool BtnMax() const { return FBtnMax; }
    void SetBtnMax(bool value) { SetAndRepaint(FBtnMax, value); }
    bool BtnMin() const { return FBtnMin; }
    void SetBtnMin(bool value) { SetAndRepaint(FBtnMin, value); }
    bool BtnHelp() const { return FBtnHelp; }
    void SetBtnHelp(bool value) { SetAndRepaint(FBtnHelp, value); }
    int IconOffSet() const { return FIconOffSet; }
    void SetIconOffSet(int value) { SetAndRepaint(FIconOffSet, value); }
    int CaptionOffSet() const { return FCaptionOffSet; }
    void SetCaptionOffSet(int value) { SetAndRepaint(FCaptionOffSet, value); }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value) { SetAndRepaint(FBorderStyle, value); }
    bool BoldCaption() const { return FBoldCaption; }
    void SetBoldCaption(bool value) { SetAndRepaint(FBoldCaption, value); }
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool value) { SetAndRepaint(FUseSystemFont, value); }
    bool CaptionShadow() const { return FCaptionShadow; }
    void SetCaptionShadow(bool value) { SetAndRepaint(FCaptionShadow, value); }
    bool PictureTrans() const { return FPictureTrans; }
    void SetPictureTrans(bool value) { SetAndRepaint(FPictureTrans, value); }
    TColor PictureTransColor() const { return FPictureTransColor; }
    void SetPictureTransColor(TColor value) { SetAndRepaint(FPictureTransColor, value); }

    // The caption picture: setting copies the given bitmap (pixels and
    // transparency settings) into the frame's own picture.
    const TBitmap &Picture() const { return FPicture; }
    void SetPicture(const TBitmap &picture);

    int Magnet() const { return FMagnet; }
    void SetMagnet(int value) { FMagnet = value; }
    bool TopMost() const { return FTopMost; }
    void SetTopMost(bool value);

    // The panel placed inside the borders at every paint.
    QWidget *ClientPanel() const { return FClientPanel; }
    void SetClientPanel(QWidget *panel);

    // The caption font when UseSystemFont is false; ParentFont follows the
    // owner's font.
    bool ParentFont() const;
    void SetParentFont(bool value);

    TNotifyEvent OnHelp;
    TNotifyEvent OnActive;
    TNotifyEvent OnInActive;

    // Draws the shown caption buttons onto canvas in the look of the state
    // code and records their rectangles. A code other than csRepaint equal to
    // the last one drawn draws nothing; returns whether it drew.
    bool DrawCaptionButtons(QImage &canvas, int state);
    // Whether the caption button of a hover code (csCloseHover .. csHelpHover)
    // is shown with the present properties.
    bool CaptionButtonShown(int hover) const;
    // What releasing the left button over that caption button does: close,
    // maximise or restore, minimise, help.
    void CaptionButtonAction(int hover);
    // Gives the owner its outline.
    void UpdateWindowRegion();
    // Puts the owner into the topmost band when TopMost is set.
    void ApplyTopMost();
    // The rectangle inside caption and borders.
    TRect GetClientArea() const;

    // State left by the last paint (frame coordinates).
    bool Active() const { return FActive; }
    int LastState() const { return FLastState; }
    TRect CloseRect() const { return FCloseRect; }
    TRect MaxRect() const { return FMaxRect; }
    TRect MinRect() const { return FMinRect; }
    TRect HelpRect() const { return FHelpRect; }
    TRect IconRect() const { return FIconRect; }
    TRect CaptionRect() const { return FCaptionRect; }

protected:
    void Paint() override;
    void Resized() override;
    void ColorChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseDblClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What a held left button is doing; SystemMove: the window system moves
    // the owner and the frame waits for the end of the move.
    enum class TDrag { None, Button, Move, SystemMove, Resize };

    template <typename T> void SetAndRepaint(T &field, T value)
    {
        if (field == value)
            return;
        field = value;
        Invalidate();
    }
    // Paints the whole frame anew (buttons in their normal frames).
    void Invalidate();
    // The window procedure of the owner: activation, title and state changes,
    // size.
    bool OwnerWndProc(QEvent *event);
    bool OwnerNormal() const;
    // The resize zone under (x, y), htNowhere unless the border style sizes
    // and the owner is in its normal state.
    TFrameHit HitTest(int x, int y) const;
    // The caption button under (x, y): 1 .. 4 (close, max, min, help) or 0.
    int ButtonAt(int x, int y) const;
    void PaintCaptionText(QImage &image, int textLeft);
    // Shows the buttons in the look of a state code on the frame's own
    // canvas, at once.
    void ShowButtonState(int state);
    void PaintIfResized();
    void PlaceClientPanel();
    void CloseOwner();
    void ToggleMaximized();
    void SnapOwner();
    // The end of a drag by the caption: the frame's click step, then the snap.
    void EndMove();
    void ResizeOwnerTo(const QPoint &global);

    QPointer<QWidget> FOwner;

    TRect FIconRect;
    TRect FCloseRect;
    TRect FMaxRect;
    TRect FMinRect;
    TRect FHelpRect;
    TRect FCaptionRect;
    int FCaptionHeight = 0;
    int FBottomHeight = 0;
    int FLeftWidth = 0;
    int FRightWidth = 0;
    int FLastState = 0;

    bool FBtnClose = true;
    bool FBtnMax = true;
    bool FBtnMin = true;
    bool FBtnHelp = false;
    int FIconOffSet = 0;
    int FCaptionOffSet = 0;
    TBitmap FPicture;
    TFormBorderStyle FBorderStyle = bsSizeable;
    bool FActive = true;
    int FMagnet = 0;
    bool FTopMost = false;
    bool FBoldCaption = true;
    QPointer<QWidget> FClientPanel;
    bool FUseSystemFont = true;
    bool FCaptionShadow = true;
    bool FPictureTrans = false;
    TColor FPictureTransColor = clBlack;

    // The size of the last paint.
    QSize FPaintedSize;
    // The pointer's screen position of the mouse event being handled, and
    // the drag in progress.
    QPoint FPointer;
    TDrag FDrag = TDrag::None;
    QPoint FDragOrigin;
    QRect FDragGeometry;
    Qt::Edges FResizeEdges;
};
