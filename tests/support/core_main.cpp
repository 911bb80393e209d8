#include "TestEnv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    lumora::test::IsolateEnvironment();
    return RUN_ALL_TESTS();
}
