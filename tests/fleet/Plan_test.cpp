#include "fleet/Plan.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(Plan, ColumnsInAnyOrderWithQuotesBomAndCrlf)
{
    std::vector<TPlanRow> rows;
    QString error;
    ASSERT_TRUE(ParsePlan("\xEF\xBB\xBFLabel,Mask,Gateway,Server,Local,DHCP,Serial\r\n"
                          "\"rack 1, top\",,,,10.0.0.1,on,0612345678\r\n",
                          rows, error))
        << error.toStdString();
    EXPECT_EQ(rows[0].Label, "rack 1, top");
    EXPECT_EQ(rows[0].Edit.Addresses, (QMap<QString, QString>{{"localIp", "10.0.0.1"}}));
    EXPECT_EQ(rows[0].Edit.Dhcp, true);
}

} // namespace
