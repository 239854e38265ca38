#include "platform/Signaux.h"

#include <csignal>

namespace {

// Ignores the signal unless the program gave it a handler of its own.
void Ignore(int signal) {
  struct sigaction actuelle {};
  if (sigaction(signal, nullptr, &actuelle) != 0) return;
  if (!(actuelle.sa_flags & SA_SIGINFO) && actuelle.sa_handler == SIG_DFL) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(signal, &ignore, nullptr);
  }
}

}  // namespace

void IgnoreSigpipe() { Ignore(SIGPIPE); }

void PrepareSignaux() {
  Ignore(SIGPIPE);
  Ignore(SIGXFSZ);
}
