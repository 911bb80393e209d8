#include "framework/FontSetUp.h"
#include "framework/Fonts.h"

#include <QFontInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// The font back-end's set-up on its own thread: waiting twice, or starting
// again, is harmless, and a set-up never waited for is joined when the
// program ends (the test program would abort otherwise).
TEST(Fonts, SetUpThreadThenTheDefaultFontIsTheLatinFace)
{
    StartFontSetUp();
    StartFontSetUp();
    FinishFontSetUp();
    FinishFontSetUp();

    // A control given no font of its own draws in the stand-in for
    // "MS Sans Serif", an 11-pixel em.
    const QLineEdit edit;
    const QFontInfo info(edit.font());
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(info.pixelSize(), 11);

    StartFontSetUp();
}

} // namespace
