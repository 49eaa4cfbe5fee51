// SPDX-License-Identifier: Zlib
// The picture sheets built into the program and the start-up load.
//
// Every sheet is addressed by its file name; the name is looked up exactly
// (case counts) and any name that is not a sheet of ours gives the system
// sheet, so a stage asking for a pipe set we do not have still shows pictures.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace render {

struct SheetInfo {
  const char* Name;  // file name, as the game asks for it
  int32_t Resource;  // resource number
  int32_t Width;
  int32_t Height;
};

constexpr int kSheetCount = 13;
constexpr int32_t kSystemSheet = 101;

extern const SheetInfo SheetTable[kSheetCount];

// Resource number of a sheet's file name; 101 for a name not in the table.
int32_t SheetResourceId(const std::string& name);
// The table entry of a resource number (the system sheet for an unknown one).
const SheetInfo& SheetByResource(int32_t resource);

// Makes the named sheet the surface's picture. A sheet surface takes the
// picture's size; FirstMap keeps its own and receives the top left part.
// A sheet that cannot be read ends the program with a message.
void LoadSheet(plat::Surface& surface, const std::string& name);

// The start-up load: sheets, water masks, the font and the sound effects.
void LoadImages();

}  // namespace render
