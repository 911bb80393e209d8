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
    EXPECT_EQ(rows[0].Edit.Addresses.value("localIp"), "10.0.0.1");
    EXPECT_FALSE(rows[0].Edit.Addresses.contains("serverIp"));
    EXPECT_EQ(rows[0].Edit.Dhcp, true);
}

TEST(Plan, AsSpreadsheetsWriteThem)
{
    std::vector<TPlanRow> rows;
    QString error;
    // Semicolons, found from the header; a label with the separator, quotes
    // and a line break; blank rows and rows of separators only.
    ASSERT_TRUE(ParsePlan("serial;dhcp;local;server;gateway;mask;label\r\n"
                          ";;;;;;\r\n"
                          "0600000001; off ;10.0.0.1;;;;\"rack 1; \"\"top\"\"\r\nleft\"\r\n"
                          "\r\n"
                          "0600000002;;;;;;x,y\r\n",
                          rows, error))
        << error.toStdString();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Label, "rack 1; \"top\"\r\nleft");
    EXPECT_EQ(rows[0].Edit.Dhcp, false);
    EXPECT_EQ(rows[1].Line, 6) << "lines count the break inside the quoted cell";
    EXPECT_EQ(rows[1].Label, "x,y");

    const std::pair<QString, QString> refused[] = {
        {"serial,dhcp,local,server,gateway,mask\n0600000001,,10.0.0.1,,\n",
         "line 2 (0600000001,,10.0.0.1,,): 5 cells where the header names 6"},
        {"serial,dhcp,local,server,gateway,mask,label\n0600000001,,,,,,\"rack 1\n0600000002,,,,,,\n",
         "line 2: a quoted cell is not closed"},
        {"serial,local,dhcp,LOCAL,server,gateway,mask\n",
         "line 1: the header names the column 'local' twice"},
        {"serial,dhcp,local,server,gateway,mask\n\"a\nb\",,,,,\n612345678,,,,,\n0612345678,,,,,\n",
         "line 5 (0612345678,,,,,): serial number 612345678 of line 4 is 0612345678 without its leading "
         "zero: "
         "a spreadsheet may have dropped it (format the column as text)"},
        {"serial,dhcp,local,server,gateway,mask\n0612345678,,,,,\n612345678,,,,,\n",
         "line 3 (612345678,,,,,): serial number 612345678 is 0612345678 of line 2 without its leading zero: "
         "a spreadsheet may have dropped it (format the column as text)"},
    };
    for (const auto &[plan, message] : refused) {
        rows.clear();
        EXPECT_FALSE(ParsePlan(plan, rows, error)) << plan.toStdString();
        EXPECT_EQ(error, message);
    }
}

} // namespace
