#include "FontSetUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {

// Joins the thread when the program ends without having waited for it.
struct TSetUpThread {
    std::thread Thread;
    ~TSetUpThread() { Finish(); }
    void Finish()
    {
        if (Thread.joinable())
            Thread.join();
    }
};

TSetUpThread &SetUpThread()
{
    static TSetUpThread thread;
    return thread;
}

} // namespace

void StartFontSetUp()
{
    if (!SetUpThread().Thread.joinable())
        SetUpThread().Thread = std::thread([] { FcInit(); });
}

void FinishFontSetUp()
{
    SetUpThread().Finish();
}
