// SPDX-License-Identifier: Zlib
// Leaving by signal: a hang-up (the terminal closed, the user logged out),
// SIGQUIT, SIGINT and SIGTERM all ask the game to close as its window's
// close button does, so the shutdown runs and saves.
#include <signal.h>

#include "platform/platform.h"

namespace plat {

namespace {

volatile sig_atomic_t LeaveAsked = 0;

void AskToLeave(int) { LeaveAsked = 1; }

}  // namespace

void CatchLeaveSignals() {
  for (int signal : {SIGHUP, SIGQUIT, SIGINT, SIGTERM}) {
    struct sigaction old = {};
    // A signal ignored when the game started (nohup, a background job)
    // stays ignored.
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction leave = {};
    leave.sa_handler = AskToLeave;
    sigemptyset(&leave.sa_mask);
    // Once only: a second signal ends a game whose shutdown is stuck.
    leave.sa_flags = SA_RESETHAND | SA_RESTART;
    ::sigaction(signal, &leave, nullptr);
  }
}

bool TakeLeaveSignal() {
  if (LeaveAsked == 0) return false;
  LeaveAsked = 0;
  return true;
}

}  // namespace plat
