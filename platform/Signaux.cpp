#include "platform/Signaux.h"

#include <csignal>

void IgnoreSigpipe() {
  struct sigaction actuelle {};
  if (sigaction(SIGPIPE, nullptr, &actuelle) != 0) return;
  // A handler that the program installed itself is left alone.
  if (!(actuelle.sa_flags & SA_SIGINFO) && actuelle.sa_handler == SIG_DFL) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
  }
}
