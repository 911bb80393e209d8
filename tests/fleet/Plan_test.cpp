#include "fleet/Plan.h"
#include "platform/files/AnsiCodePage.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

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

    // Addresses are given back as typed, in plain dotted form or not.
    TAddressTexts typed;
    typed.insert("localIp", "10.0.0.05");
    typed.insert("serverIp", " 10.0.0.9");
    typed.insert("localIp", "10.0.0.5");
    TAddressTexts plain;
    plain.insert("serverIp", " 10.0.0.9");
    plain.insert("localIp", "10.0.0.5");
    EXPECT_EQ(typed, plain);
    EXPECT_EQ(typed.value("serverIp"), " 10.0.0.9");
    typed.insert("serverIp", "10.0.0.9");
    EXPECT_FALSE(typed == plain);
    EXPECT_EQ(typed.value("serverIp"), "10.0.0.9");
    EXPECT_EQ(typed.value("gatewayIp"), "");
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

// Plans as spreadsheets on Windows save them: "Unicode text" (UTF-16 by its
// byte-order mark, tabs), tab-separated UTF-8, and plain "CSV" in the ANSI
// code page, which only Windows has.
TEST(Plan, ReadAsWindowsSavesThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.txt");
    std::vector<TPlanRow> rows;
    QString error;
    auto read = [&](const QByteArray &Bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Bytes) == Bytes.size());
        f.close();
        rows.clear();
        error.clear();
        const bool ok = ReadPlan(path, rows, error);
        error.remove(path + ": ");
        return ok;
    };
    const QString text = QString::fromUtf8("serial\tdhcp\tlocal\tserver\tgateway\tmask\tlabel\r\n"
                                           "0600000001\toff\t10.0.0.5\t\t\t\t\"Büro 3\t北\"\r\n");
    for (const auto encoding :
         {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf8}) {
        ASSERT_TRUE(read(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text)))
            << error.toStdString();
        EXPECT_EQ(rows[0].Label, QString::fromUtf8("Büro 3\t北"));
        EXPECT_EQ(rows[0].Edit.Addresses.value("localIp"), "10.0.0.5");
    }
    ASSERT_TRUE(read(text.toUtf8()));

    const QByteArray ansi("serial,dhcp,local,server,gateway,mask,label\n0600000001,,,,,,B\xFCro\n");
    if (AnsiCodePage() == 0) {
        EXPECT_FALSE(read(ansi));
        EXPECT_EQ(error, "line 2 is not UTF-8 text: save the plan as \"CSV UTF-8\"");
    } else {
        ASSERT_TRUE(read(ansi)) << error.toStdString();
        EXPECT_EQ(rows[0].Label, FromAnsiCodePage("B\xFCro"));
    }
    // Never a replacement character: not for a character cut off, UTF-16
    // saved without its mark, nor one a conversion left before.
    EXPECT_FALSE(
        read(QStringEncoder(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom).encode(text) + 'x'));
    EXPECT_EQ(error, "line 3 is not valid UTF-16LE text");
    EXPECT_FALSE(read(QStringEncoder(QStringConverter::Utf16LE).encode(text)));
    EXPECT_EQ(error, "line 1 holds a NUL character, as UTF-16 text without its byte-order mark would: save "
                     "the plan as \"CSV UTF-8\"");
    EXPECT_FALSE(read("serial,dhcp,local,server,gateway,mask,label\n\n0600000001,,,,,,B\xEF\xBF\xBDro\n"));
    EXPECT_EQ(error,
              "line 3 holds the replacement character U+FFFD: text was lost when the file was converted");
}

TEST(Plan, AddressesThatCannotWorkOnANetworkAreRefused)
{
    std::vector<TPlanRow> rows;
    QString error;
    const QString header = "serial,dhcp,local,server,gateway,mask\n";
    const std::pair<QString, QString> refused[] = {
        {"0600000001,,10.0.0.5,,,\n0600000002,,10.0.0.6,,,\n0600000003,off,10.0.0.05,,,\n",
         "line 4 (0600000003,off,10.0.0.05,,,): local IP 10.0.0.05 is planned for line 2 as well"},
        // The first row that repeats an earlier one is named, before a
        // later fault; on one row the serial number before the address.
        {"0600000001,,10.0.0.5,,,\n0600000002,,10.0.0.5,,,\n0600000001,,10.0.0.5,,,\n0600000003,,\n",
         "line 3 (0600000002,,10.0.0.5,,,): local IP 10.0.0.5 is planned for line 2 as well"},
        {"0600000001,,10.0.0.5,,,\n0600000002,,10.0.0.6,,,\n0600000001,,10.0.0.6,,,\n0600000003,,\n",
         "line 4 (0600000001,,10.0.0.6,,,): serial number 0600000001 is planned twice"},
        {"0600000001,,10.0.1.0,,,255.255.255.0\n", "line 2 (0600000001,,10.0.1.0,,,255.255.255.0): Invalid "
                                                   "local IP: 10.0.1.0 is the network address of "
                                                   "its subnet (mask 255.255.255.0)"},
        // A row with DHCP on is judged too: the address is kept for when it goes off.
        {"0600000001,on,239.1.2.3,,,\n",
         "line 2 (0600000001,on,239.1.2.3,,,): Invalid local IP: 239.1.2.3 is a multicast address "
         "(224.0.0.0/4)"},
    };
    for (const auto &[plan, message] : refused) {
        rows.clear();
        EXPECT_FALSE(ParsePlan(header + plan, rows, error)) << plan.toStdString();
        EXPECT_EQ(error, message);
    }
    // What needs a value the row leaves to the unit is not judged: the same
    // address kept for when DHCP goes off, a gateway without the mask; nor is
    // a gateway of 0.0.0.0 (none).
    EXPECT_TRUE(
        ParsePlan(header + "0600000001,on,10.0.0.5,,,\n0600000002,on,10.0.0.5,,,\n"
                           "0600000003,,10.0.0.5,,10.9.0.1,\n0600000004,,10.0.1.7,,0.0.0.0,255.255.255.0\n",
                  rows, error))
        << error.toStdString();
}

} // namespace
