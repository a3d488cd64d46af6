// Ctrl-C (and a polite kill) as the command line's Stop.
#include "cli/interrupt.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace cli {
namespace {

volatile std::sig_atomic_t g_interrupts = 0;

void OnInterrupt(int) {
  if (g_interrupts > 0) _exit(130);
  g_interrupts = 1;
}

}  // namespace

void CatchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool Interrupted() { return g_interrupts != 0; }

}  // namespace cli
