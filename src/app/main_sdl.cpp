// SPDX-License-Identifier: Zlib
// ductora: the game in a real window.
#include "shell/mainmodule.h"

int main() { game::Main(); }
