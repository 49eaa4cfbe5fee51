// SPDX-License-Identifier: Zlib
// The game's seventeen sound effects, numbered as the game plays them.
#pragma once

#include "synth.h"

namespace sfx {

constexpr int kEffectCount = 17;

// Effect `number` (0..16), finished and ready to write.
Buffer MakeEffect(int number);

}  // namespace sfx
