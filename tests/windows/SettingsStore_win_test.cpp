// The settings store in the registry: the key, the section and the value as
// Windows programs expect them.
#include "base/LumoraError.h"
#include "platform/store/SettingsStore.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>

namespace {

const QString Key = QStringLiteral("LumoraStoreTest.INI");

class SettingsStoreWin : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"LumoraStoreTest.INI"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"LumoraStoreTest.INI"); }

    static bool KeyExists(const wchar_t *Path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

TEST_F(SettingsStoreWin, DefaultUntilWrittenThenTheStoredText)
{
    TSettingsStore store(Key);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 1), 1);
    EXPECT_TRUE(KeyExists(L"LumoraStoreTest.INI")) << "the key is created by every open, reading too";
    EXPECT_FALSE(KeyExists(L"LumoraStoreTest.INI\\COMSetup")) << "the section only by a write";

    store.WriteInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 12);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 1), 12);
    EXPECT_EQ(store.ReadString(QStringLiteral("COMSetup"), QStringLiteral("COM")), QStringLiteral("12"));

    // A string value with its terminating zero: "12" and the zero.
    std::array<wchar_t, 8> data{};
    DWORD type = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"LumoraStoreTest.INI\\COMSetup", L"COM", RRF_RT_ANY, &type,
                           data.data(), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 3 * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(data.data()), L"12");

    // Text that does not read as a number gives the default.
    store.WriteString(QStringLiteral("COMSetup"), QStringLiteral("COM"), QStringLiteral("three"));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 1), 1);
}

TEST_F(SettingsStoreWin, ValueOfAnotherTypeRaises)
{
    TSettingsStore store(Key);
    store.WriteInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 2);
    const DWORD number = 3;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"LumoraStoreTest.INI\\COMSetup", L"COM", REG_DWORD, &number,
                              sizeof number),
              ERROR_SUCCESS);
    try {
        store.ReadInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), 1);
        FAIL() << "no error raised";
    } catch (const ELumoraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid data type for 'COM'"));
    }
}

TEST_F(SettingsStoreWin, UnwritableSectionRaisesTheDescribedText)
{
    // A key name longer than the registry's 255 characters cannot be made.
    const QString section(300, QLatin1Char('s'));
    TSettingsStore store(Key);
    try {
        store.WriteString(section, QStringLiteral("COM"), QStringLiteral("1"));
        FAIL() << "no error raised";
    } catch (const ELumoraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Failed to create key %1").arg(section));
    }
    EXPECT_EQ(store.ReadInteger(section, QStringLiteral("COM"), 4), 4);
}

} // namespace
