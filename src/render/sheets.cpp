// SPDX-License-Identifier: Zlib
// Sheet loading. The sheets are 8-bit BMP files embedded in the program;
// each load decodes the file again, which is cheap next to a stage set-up.
#include "render/sheets.h"

#include <utility>

#include "audio/wavedef.h"
#include "render/font.h"
#include "render/mask.h"
#include "render/surfaces.h"

namespace render {

const SheetInfo SheetTable[kSheetCount] = {
    {"syspic.bmp", 101, 256, 256}, {"water.bmp", 102, 512, 512}, {"water2.bmp", 103, 512, 512},
    {"font.bmp", 104, 256, 128},   {"pipe0.bmp", 105, 256, 512}, {"pipe1.bmp", 106, 256, 512},
    {"pipe2.bmp", 107, 256, 512},  {"pipe3.bmp", 108, 256, 512}, {"pipe4.bmp", 109, 256, 512},
    {"title.bmp", 110, 512, 512},  {"back.bmp", 111, 512, 256},  {"heylaw.bmp", 112, 256, 48},
    {"m013.bmp", 113, 512, 384},
};

int32_t SheetResourceId(const std::string& name) {
  for (const SheetInfo& sheet : SheetTable) {
    if (name == sheet.Name) return sheet.Resource;
  }
  return kSystemSheet;
}

const SheetInfo& SheetByResource(int32_t resource) {
  for (const SheetInfo& sheet : SheetTable) {
    if (sheet.Resource == resource) return sheet;
  }
  return SheetTable[0];
}

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

[[noreturn]] void SheetFailure(const std::string& name, const std::string& reason) {
  plat::ShowMessage("The picture sheet \"" + name + "\" cannot be loaded: " + reason);
  plat::EndProcess(1);
}

// The persistent layer keeps its size: the picture replaces its contents from
// the top left, clipped, and whatever the picture does not cover is black.
void PaintIntoFixedSurface(plat::Surface& surface, const plat::Surface& picture) {
  plat::FillBlack(surface, 0, 0, surface.Width, surface.Height);
  plat::BitBlt(surface, 0, 0, picture.Width, picture.Height, picture, 0, 0, plat::SRCCOPY);
}

// A sheet surface takes the picture's size and pixels but keeps its colours.
void TakePicture(plat::Surface& surface, plat::Surface& picture) {
  surface.Width = picture.Width;
  surface.Height = picture.Height;
  surface.Pixels = std::move(picture.Pixels);
  plat::Changed(surface);
}

void LoadWaterMask(plat::Surface& mask, plat::Surface& sheet) {
  plat::Resize(mask, sheet.Width, sheet.Height);
  sheet.BackColor = kBlack;
  mask.BackColor = kBlack;
  mask.ForeColor = kWhite;
}

}  // namespace

void LoadSheet(plat::Surface& surface, const std::string& name) {
  const SheetInfo& sheet = SheetByResource(SheetResourceId(name));
  const plat::EmbeddedFile* file = plat::FindEmbeddedSheet(sheet.Name);
  if (file == nullptr) SheetFailure(sheet.Name, "it is not built into the program");
  plat::Surface picture;
  std::string err;
  if (!plat::ReadBmp8(file->Data, file->Size, picture, err)) SheetFailure(sheet.Name, err);
  if (&surface == &FirstMap) {
    PaintIntoFixedSurface(surface, picture);
  } else {
    TakePicture(surface, picture);
  }
}

void LoadImages() {
  LoadSheet(SysPic, "syspic.bmp");
  LoadSheet(WaterPic, "water.bmp");
  LoadSheet(WaterPic2, "water2.bmp");
  LoadSheet(PipePic, "pipe0.bmp");
  LoadSheet(FontPic, "font.bmp");
  LoadSheet(TitlePic, "title.bmp");
  LoadSheet(BackPic, "back.bmp");
  // Step 8, the invisible pointer over the full-screen window: the back end
  // already hides the pointer whenever the game is shown full screen.
  LoadWaterMask(WaterMaskPic, WaterPic);
  LoadWaterMask(WaterMaskPic2, WaterPic2);
  // Black sheet pixels become white mask pixels, water pixels black ones.
  MonoBlt(WaterMaskPic, 0, 0, WaterPic.Width, WaterPic.Height, WaterPic, 0, 0, plat::NOTSRCCOPY);
  MonoBlt(WaterMaskPic2, 0, 0, WaterPic2.Width, WaterPic2.Height, WaterPic2, 0, 0,
          plat::NOTSRCCOPY);
  GameFont.Define(FontPic, 16, 16);
  audio::LoadEffects();
}

}  // namespace render
