// SPDX-License-Identifier: Zlib
// musicc SCORE OUT.mid: compiles a text score into a Standard MIDI file and prints its length.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/midi_length.h"
#include "score.h"

namespace {

bool ReadText(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

bool WriteBytes(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: musicc SCORE.txt OUT.mid\n");
    return 2;
  }
  std::string text;
  if (!ReadText(argv[1], text)) {
    std::fprintf(stderr, "musicc: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> smf;
  try {
    const music::Score score = music::ParseScore(text, argv[1]);
    smf = music::WriteSmf(score, music::Arrange(score));
  } catch (const music::ScoreError& e) {
    std::fprintf(stderr, "musicc: %s\n", e.what());
    return 1;
  }
  int64_t ms = 0;
  if (!plat::MidiLengthMs(smf.data(), smf.size(), ms)) {
    std::fprintf(stderr, "musicc: %s: the written file does not read back\n", argv[1]);
    return 1;
  }
  if (!WriteBytes(argv[2], smf)) {
    std::fprintf(stderr, "musicc: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%s: %lld.%03lld s\n", argv[2], static_cast<long long>(ms / 1000),
              static_cast<long long>(ms % 1000));
  return 0;
}
