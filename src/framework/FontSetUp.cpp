#include "FontSetUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {

std::thread &SetUpThread()
{
    static std::thread thread;
    return thread;
}

} // namespace

void StartFontSetUp()
{
    if (!SetUpThread().joinable())
        SetUpThread() = std::thread([] { FcInit(); });
}

void FinishFontSetUp()
{
    if (SetUpThread().joinable())
        SetUpThread().join();
}
