// SPDX-License-Identifier: Zlib
// The staff-roll text, built into the program from content/credits.txt.
#pragma once

#include <string_view>

namespace game {

std::string_view CreditsText();

}  // namespace game
