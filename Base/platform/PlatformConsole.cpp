#include "Base/platform/PlatformConsole.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace vKit
{
namespace
{

std::atomic<bool>* g_stopFlag = nullptr;

void OnStopSignal(int)
{
    // Lock-free atomics are safe in a signal handler.
    if (g_stopFlag != nullptr) g_stopFlag->store(true);
}

} // namespace

bool PlatformIsTerminal(int descriptor)
{
    return isatty(descriptor) == 1;
}

void PlatformCatchStopSignals(std::atomic<bool>* flag)
{
    static_assert(std::atomic<bool>::is_always_lock_free);
    g_stopFlag = flag;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A parent may have started the program with these blocked; a stop sent meanwhile is
    // pending and arrives here, as a request like any other.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
}

} // namespace vKit
