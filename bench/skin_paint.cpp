// Paint cost of the skinned controls: full repaints of a window frame of the
// main window's size and of one push button, each loading its skin bitmaps
// anew as every paint does. Runs headless (offscreen platform) and prints the
// median and the 90th percentile per repaint.

#include "framework/Fonts.h"
#include "framework/Forms.h"
#include "skin/XP_Button.h"
#include "skin/XP_Form.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

template <typename Paint> void Measure(const char *what, int rounds, Paint paint)
{
    using namespace std::chrono;
    std::vector<double> ms;
    ms.reserve(size_t(rounds));
    for (int i = 0; i < rounds; ++i) {
        const auto start = steady_clock::now();
        paint();
        ms.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s median %8.3f ms   p90 %8.3f ms   (%d repaints)\n", what, ms[ms.size() / 2],
                ms[ms.size() * 9 / 10], rounds);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    InstallFontSubstitutions();
    QApplication app(argc, argv);

    TForm form;
    form.resize(492, 353);
    auto *frame = new TXP_Form(&form);
    auto *button = new TXP_Button(&form);
    button->setGeometry(15, 266, 96, 24);
    button->SetCaption(QStringLiteral("&Open"));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;

    Measure("window frame 492 x 353", 300, [frame] { frame->repaint(); });
    Measure("push button 96 x 24", 2000, [button] { button->repaint(); });
    return 0;
}
