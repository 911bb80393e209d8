// Paint cost of the main window: a full repaint of the window with all its
// controls, of its skinned frame alone and of one push button, each loading
// its skin bitmaps anew as every paint does. The window shows a simulated
// device's record, read at start-up as the program does. Runs headless
// (offscreen platform) and prints the median and the 90th percentile.

#include "Measure.h"
#include "SimSession.h"
#include "framework/Application.h"
#include "framework/Fonts.h"
#include "skin/XP_Button.h"
#include "skin/XP_Form.h"
#include "skin/XP_Unit.h"
#include "ui/MainFrm.h"
#include "ui/StdControls.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        TSimSession sim;
        InstallFontSubstitutions();
        QApplication app(argc, argv);
        XPUnitInitialization(QApplication::arguments());
        Application().SetTitle(QStringLiteral("LumoraV1.2"));

        TMainForm form;
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return 1;
        std::printf("main window %d x %d, status \"%s\"\n", form.width(), form.height(),
                    qPrintable(form.MsgLabel->text()));

        // Every control of the window painted into one image, as a full
        // repaint of the window paints them into its backing store.
        QImage image(form.size(), QImage::Format_RGB32);
        Measure("main window, all controls", 300, [&form, &image] { form.render(&image); });
        Measure("window frame", 300, [&form] { form.XP_Form1->repaint(); });
        const QSize button = form.SaveButton->size();
        std::printf("(push button %d x %d)\n", button.width(), button.height());
        Measure("push button", 2000, [&form] { form.SaveButton->repaint(); });
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-paint: %s\n", e.what());
        return 1;
    }
}
