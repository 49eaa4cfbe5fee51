// SPDX-License-Identifier: Zlib
// ductora: the game in a real window.
#include "platform/cmdline.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "shell/mainmodule.h"

int main(int argc, char** argv) {
  const plat::CommandLine line = plat::ParseCommandLine(argc, argv, false);
  if (int status = plat::AnswerCommandLine(line, false); status >= 0) return status;
  plat::CatchLeaveSignals();
  game::Main(plat::ApplySettings(line.Start, false));
}
