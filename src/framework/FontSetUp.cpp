#include "FontSetUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {

// Joins the thread when the program ends without having waited for it. Such
// a reading may have finished after the toolkit released the configuration
// it shared (the toolkit does so when the application object goes), so what
// fontconfig holds by then is released here, once nothing draws text any
// more.
struct TSetUpThread {
    std::thread Thread;
    ~TSetUpThread()
    {
        if (Finish())
            FcFini();
    }
    // Waits for the thread; whether there was one to wait for.
    bool Finish()
    {
        if (!Thread.joinable())
            return false;
        Thread.join();
        return true;
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
