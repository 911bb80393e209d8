#include "base/LumoraError.h"
#include "framework/Application.h"
#include "support/MessageBoxes.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using lumora::test::CatchMessageBoxes;

TEST(Application, FullStopRuleLooksAtTheLastCharacterCode)
{
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Invalid local IP！")),
              QStringLiteral("Invalid local IP！."));
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Invalid gateway IP!")),
              QStringLiteral("Invalid gateway IP!"));
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Value -")), QStringLiteral("Value -"));
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Port /")), QStringLiteral("Port /."));
    EXPECT_EQ(TApplication::WithFullStop(QStringLiteral("Code 7")), QStringLiteral("Code 7."));
    EXPECT_EQ(TApplication::WithFullStop(QString()), QString());
}

TEST(Application, ErrorBoxIsTitledWithTheApplicationTitle)
{
    Application().SetTitle(QStringLiteral("LumoraV1.2"));
    bool ranToEnd = true;
    const auto boxes = CatchMessageBoxes([&] {
        ranToEnd = Application().Guard([] { throw ELumoraError(QStringLiteral("无法读取设备参数！")); });
    });
    EXPECT_FALSE(ranToEnd);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].Title, QStringLiteral("LumoraV1.2"));
    EXPECT_EQ(boxes[0].Text, QStringLiteral("无法读取设备参数！."));
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].Buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});

    const auto none = CatchMessageBoxes([&] { ranToEnd = Application().Guard([] {}); });
    EXPECT_TRUE(ranToEnd);
    EXPECT_TRUE(none.isEmpty());
}

TEST(Application, InformationBoxHasTheGivenCaption)
{
    const auto boxes = CatchMessageBoxes(
        [] { Application().ShowInformation(QStringLiteral("text"), QStringLiteral("版权提示")); });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].Title, QStringLiteral("版权提示"));
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Information);
}

TEST(Application, TerminateBeforeTheLoopMakesRunReturnAndDuringItEndsIt)
{
    Application().Terminate();
    EXPECT_TRUE(Application().Terminated());
    EXPECT_EQ(Application().Run(), 0);
    Application().CancelTerminate();

    QWidget window;
    window.show();
    QTimer::singleShot(0, [] { Application().Terminate(); });
    EXPECT_EQ(Application().Run(), 0);
    Application().CancelTerminate();
}

TEST(Application, CursorTableHoldsRegisteredCursorsByNumber)
{
    EXPECT_FALSE(Application().HasCursor(300));
    EXPECT_EQ(Application().Cursor(300).shape(), Qt::ArrowCursor);
    Application().RegisterCursor(300, QCursor(Qt::PointingHandCursor));
    EXPECT_TRUE(Application().HasCursor(300));
    EXPECT_EQ(Application().Cursor(300).shape(), Qt::PointingHandCursor);

    // A cursor registered as its maker is made once, when first asked for.
    int made = 0;
    Application().RegisterCursor(301, [&made] {
        ++made;
        return QCursor(Qt::IBeamCursor);
    });
    EXPECT_TRUE(Application().HasCursor(301));
    EXPECT_EQ(made, 0);
    EXPECT_EQ(Application().Cursor(301).shape(), Qt::IBeamCursor);
    EXPECT_EQ(Application().Cursor(301).shape(), Qt::IBeamCursor);
    EXPECT_EQ(made, 1);
}

TEST(Application, MinimizeMinimisesEveryShownWindow)
{
    QWidget a;
    QWidget b;
    a.show();
    b.show();
    Application().Minimize();
    EXPECT_TRUE(a.isMinimized());
    EXPECT_TRUE(b.isMinimized());
}

} // namespace
