# SPDX-License-Identifier: Zlib
# Writes a C++ source returning the text of IN from game::CreditsText().
file(READ ${IN} TEXT HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," BYTES "${TEXT}")
file(WRITE ${OUT} "#include \"shell/credits.h\"\nnamespace game {\nnamespace {\nconst char kText[] = {${BYTES} 0};\n}\nstd::string_view CreditsText() { return {kText, sizeof kText - 1}; }\n}\n")
