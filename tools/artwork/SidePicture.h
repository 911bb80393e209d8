#pragma once

#include <QImage>

// The picture at the left of the main window: a bundle of glowing optical
// fibres fanning out of a connector, 175 x 333 pixels. It is drawn so that it
// looks right after the window stretches it into its 105 x 252 box.
QImage DrawSidePicture();
