// SPDX-License-Identifier: Zlib
// A review picture: a few stretches of board in every world with water drawn
// over the pipes exactly as the game draws it (mask with AND, water with OR).
#pragma once

#include "sheets.h"

namespace sheetgen {

struct PreviewSheets {
  Canvas Pipes[5];
  Canvas Water1, Water2;
};

Canvas ComposePreview(const PreviewSheets& sheets);

}  // namespace sheetgen
