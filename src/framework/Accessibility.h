#pragma once

#include "framework/Application.h"

#include <QAccessible>
#include <QObject>
#include <QTimer>

#include <initializer_list>

// Installs the interfaces that assistive technology (screen readers,
// magnifiers, test tools) is given for the program's controls: each factory
// once, in the order given; a factory installed later is asked first. Call it
// once the QApplication exists (the toolkit's own factory is installed by
// QApplication and must come first so that these are asked before it).
// Factories already installed are not installed again.
void InstallAccessibleFactories(std::initializer_list<QAccessible::InterfaceFactory> factories);

// Runs a control's action once the assistive technology's request has been
// answered: a click may open a modal window, whose loop must not run inside
// the request. The action runs under the application's error guard and not
// at all when context is gone by then.
template <typename F> void RunAfterAccessibleRequest(QObject *context, F action)
{
    QTimer::singleShot(0, context, [action] { Application().Guard(action); });
}
