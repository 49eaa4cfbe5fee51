// SPDX-License-Identifier: Zlib
// The game's sound effects, numbered as the game plays them.
#pragma once

#include "synth.h"

namespace sfx {

constexpr int kEffectCount = 19;

// Effect `number` (0..18), finished and ready to write.
Buffer MakeEffect(int number);

}  // namespace sfx
