#include "platform/process/InterruptWait.h"

#include <windows.h>

#include <atomic>

namespace {

// The event of the instance alive now; the console control handler runs on
// a thread of its own and only sets it, after noting the first request's
// exit status.
std::atomic<HANDLE> StopEvent{nullptr};
std::atomic<int> StopStatus{0};

BOOL WINAPI OnConsoleControl(DWORD Type)
{
    const HANDLE event = StopEvent.load();
    if (event == nullptr)
        return FALSE; // nobody waits: the default handler ends the process
    int none = 0;
    StopStatus.compare_exchange_strong(none, Type == CTRL_C_EVENT || Type == CTRL_BREAK_EVENT ? 130 : 143);
    SetEvent(event);
    // Closing the console, logging off and shutting down end the process
    // once the handler returns, whatever it answers; Ctrl+C and Ctrl+Break
    // are taken here.
    return Type == CTRL_C_EVENT || Type == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

} // namespace

struct TInterruptWait::TSystem {
    HANDLE Event = nullptr;
    bool Handling = false;
};

TInterruptWait::TInterruptWait() : FSystem(std::make_unique<TSystem>())
{
    // Manual reset: once signalled it stays so, like a pending signal.
    FSystem->Event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (FSystem->Event == nullptr)
        return;
    StopStatus.store(0);
    StopEvent.store(FSystem->Event);
    FSystem->Handling = SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;
}

TInterruptWait::~TInterruptWait()
{
    if (FSystem->Handling)
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    StopEvent.store(nullptr);
    if (FSystem->Event != nullptr)
        CloseHandle(FSystem->Event);
}

void TInterruptWait::Stop()
{
    FStopped = true;
    if (FSystem->Event != nullptr)
        SetEvent(FSystem->Event);
}

bool TInterruptWait::Interrupted()
{
    if (FStopped)
        FInterrupted = true;
    if (!FInterrupted && FSystem->Event != nullptr)
        FInterrupted = WaitForSingleObject(FSystem->Event, 0) == WAIT_OBJECT_0;
    return FInterrupted;
}

int TInterruptWait::ExitStatus()
{
    if (Interrupted() && FExitStatus == 0)
        FExitStatus = StopStatus.load() != 0 ? StopStatus.load() : 130;
    return FExitStatus;
}

bool TInterruptWait::BlockOnStopEvent(std::chrono::milliseconds Bound)
{
    if (FSystem->Event == nullptr) {
        Sleep(DWORD(Bound.count()));
        return true;
    }
    return WaitForSingleObject(FSystem->Event, DWORD(Bound.count())) != WAIT_FAILED;
}
