#pragma once

#include <QAccessible>

// What assistive technology (screen readers, magnifiers, test tools) learns
// about the skinned controls: the push button and the check box as a button
// and a check box named by their captions without the accelerator mark, the
// group box as a grouping, a window of the windowing layer as a window, and
// the window frame as the window's title bar whose caption buttons are
// buttons of their own ("Close", "Minimize", "Maximize" or "Restore",
// "Help") that can be pressed.
//
// The interface factory of these controls, for InstallAccessibleFactories
// (framework/Accessibility.h); null for any other object.
QAccessibleInterface *SkinAccessibleFactory(const QString &className, QObject *object);
