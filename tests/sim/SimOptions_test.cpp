#include "device/NetSettings.h"
#include "device/Records.h"
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(const QStringList &args, TSimOptions &options)
{
    QString error;
    return ParseSimOptions(args, options, error);
}

TEST(SimOptions, AddressesAreReadAsTheProgramReadsThem)
{
    for (const QString &text :
         QStringList{"10.0.0.7.", "$0A.0x0.+0. 7", "10.0.0.7", "1.2.3", "1..2.3", "1.2.3.256", "1.2.3.4.5"}) {
        TSimOptions options;
        EXPECT_EQ(Parse({"--gateway", text}, options), IsValidIP(text)) << text.toStdString();
        if (IsValidIP(text))
            EXPECT_EQ(IPToStr(options.Config.Info.GatewayAddr), "10.0.0.7") << text.toStdString();
        else
            EXPECT_EQ(options.Config.Info.GatewayAddr, SampleDevice().Info.GatewayAddr) << text.toStdString();
    }
}

TEST(SimOptions, FormsOfTheCommandLine)
{
    TSimOptions options;
    ASSERT_TRUE(Parse({"--type=9", "-vh", "--silent", "--delay", "5", "--delay", "7"}, options));
    EXPECT_EQ(options.Config.Info.DeviceType, 9);
    EXPECT_TRUE(options.Verbose && options.Help && options.Config.Faults.Silent);
    EXPECT_EQ(options.Config.Faults.DelayMs, 7) << "the last of a repeated option counts";

    QString error;
    EXPECT_FALSE(ParseSimOptions({"--bogus"}, options, error));
    EXPECT_EQ(error, "unknown option '--bogus'");
    EXPECT_FALSE(ParseSimOptions({"stray"}, options, error));
    EXPECT_EQ(error, "unknown option 'stray'");
    EXPECT_FALSE(ParseSimOptions({"--delay", "5", "--delay", "x"}, options, error));
    EXPECT_EQ(error, "bad value 'x' for --delay");
    EXPECT_FALSE(ParseSimOptions({"--silent=1"}, options, error));
    EXPECT_FALSE(ParseSimOptions({"--serial"}, options, error));
}

} // namespace
