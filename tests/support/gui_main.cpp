#include "TestEnv.h"
#include "framework/Fonts.h"

#include <QApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    lumora::test::IsolateEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Font substitutions only affect fonts resolved afterwards: install them
    // before the first widget exists, as the program's main does.
    InstallFontSubstitutions();
    QApplication app(argc, argv);
    InstallDefaultFont();
    return RUN_ALL_TESTS();
}
