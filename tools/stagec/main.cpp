// SPDX-License-Identifier: Zlib
// The stage compiler: reads a course in the designers' text form, checks
// every stage with the game's own checks, proves each one clearable by one
// and by two players, prints a report and writes the course file; or turns
// a course file back into text that compiles to the same bytes.
//
//   stagec [--verbose] [--nodes N] [--no-solve] COURSE.txt COURSE.dat
//   stagec --decompile COURSE.dat COURSE.txt
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "puzzle/solver.h"
#include "puzzle/stagerecord.h"
#include "stagefile.h"

namespace {

struct Options {
  bool Verbose = false;
  bool Solve = true;
  bool Decompile = false;
  long long Nodes = 400000;
  std::string In, Out;
};

bool ParseArgs(int argc, char** argv, Options& o) {
  std::vector<std::string> rest;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "--verbose") {
      o.Verbose = true;
    } else if (a == "--no-solve") {
      o.Solve = false;
    } else if (a == "--decompile") {
      o.Decompile = true;
    } else if (a == "--nodes" && i + 1 < argc) {
      o.Nodes = std::atoll(argv[++i]);
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 2 || o.Nodes < 1000) return false;
  if (o.Decompile && (o.Verbose || !o.Solve)) return false;
  o.In = rest[0];
  o.Out = rest[1];
  return true;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string Seconds(int frames) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", frames * 17 / 1000.0);
  return text;
}

void PrintRoute(const char* label, const puzzle::RouteInfo& r) {
  std::printf("  %s %3d cells, %3d pieces counted, %3d to lay; water in the drain after %s\n",
              label, r.Cells, r.Counted, r.Laid, Seconds(r.Frames).c_str());
}

// The two routes side by side, drawn with the map characters.
void DrawRoutes(const puzzle::StageInfo& s, const puzzle::SolveResult& r) {
  for (int y = 0; y < 8; y++) {
    std::string line = "    ";
    for (const puzzle::RouteInfo* route : {&r.Shortest, &r.Longest}) {
      for (int x = 0; x < 10; x++) {
        const int c = x + 10 * y;
        const int chip = route->Map[c];
        const bool block = s.StageMap[c] == puzzle::CHIP_BLOCK;
        line += chip != puzzle::kOffRoute ? stagec::MapChar(chip) : block ? '#' : ' ';
      }
      line += "      ";
    }
    std::printf("%s\n", line.c_str());
  }
}

bool CompileStage(const Options& o, int number, const stagec::StageSource& src,
                  std::vector<uint8_t>& out) {
  uint8_t bytes[puzzle::kStageRecordSize];
  puzzle::EncodeStage(src.Record, bytes);
  puzzle::StageInfo s{};
  puzzle::DecodeStage(bytes, s);  // check and solve exactly what is stored
  const std::string where = BaseName(o.In) + " stage " + std::to_string(number) + " (line " +
                            std::to_string(src.Line) + ")";
  const std::string reason = puzzle::CheckStage(s);
  if (!reason.empty()) {
    std::fprintf(stderr, "stagec: %s: %s\n", where.c_str(), reason.c_str());
    return false;
  }
  std::printf("%s \"%s\": set %d, require %d (%d each for two), delay %d, speed %d\n",
              where.c_str(), src.Title.c_str(), s.PipeSet, s.RequiredPipes, s.RequiredPipes / 2,
              s.StartDelay, s.SpeedByte);
  if (!o.Solve) {
    out.insert(out.end(), bytes, bytes + puzzle::kStageRecordSize);
    return true;
  }
  const puzzle::SolveResult r = puzzle::SolveStage(s, o.Nodes);
  if (!r.Found) {
    std::fprintf(stderr, "stagec: %s: no route from the source to the drain through %d pieces%s\n",
                 where.c_str(), s.RequiredPipes,
                 r.Exhausted ? "" : " found (the search gave up; give the stage more slack)");
    return false;
  }
  PrintRoute("shortest", r.Shortest);
  PrintRoute("longest ", r.Longest);
  if (o.Verbose) {
    std::printf("    search: %lld steps%s\n", static_cast<long long>(r.Nodes),
                r.Exhausted ? ", every route examined" : "");
    DrawRoutes(s, r);
  }
  out.insert(out.end(), bytes, bytes + puzzle::kStageRecordSize);
  return true;
}

bool WriteFile(const std::string& path, const char* data, size_t size) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(data, static_cast<std::streamsize>(size));
    if (!f) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

// Reads a regular file of at most limit bytes; "" or what went wrong.
std::string ReadInput(const std::string& path, size_t limit, std::string& data) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return "not a readable file";
  std::ifstream in(path, std::ios::binary);
  data.assign(limit + 1, '\0');
  in.read(data.data(), static_cast<std::streamsize>(limit + 1));
  if (in.bad() || (!in && !in.eof())) return "cannot read";
  data.resize(static_cast<size_t>(in.gcount()));
  return data.size() > limit ? "larger than " + std::to_string(limit) + " bytes" : "";
}

int Decompile(const Options& o) {
  std::string data, text, error = ReadInput(o.In, 999 * puzzle::kStageRecordSize, data);
  const std::vector<uint8_t> bytes(data.begin(), data.end());
  if (error.empty()) stagec::DecompileCourse(bytes, text, error);
  if (error.empty() && !WriteFile(o.Out, text.data(), text.size())) error = "cannot write " + o.Out;
  if (!error.empty()) {
    std::fprintf(stderr, "stagec: %s: %s\n", o.In.c_str(), error.c_str());
    return 1;
  }
  std::printf("%s: %zu stages written to %s\n", BaseName(o.In).c_str(),
              bytes.size() / puzzle::kStageRecordSize, o.Out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: stagec [--verbose] [--nodes N>=1000] [--no-solve] COURSE.txt COURSE.dat\n"
                 "       stagec --decompile COURSE.dat COURSE.txt\n");
    return 2;
  }
  if (o.Decompile) return Decompile(o);
  std::string text;
  std::string error = ReadInput(o.In, 1 << 20, text);
  std::vector<stagec::StageSource> stages;
  if (error.empty()) stagec::ParseCourse(text, stages, error);
  if (!error.empty()) {
    std::fprintf(stderr, "stagec: %s: %s\n", o.In.c_str(), error.c_str());
    std::remove(o.Out.c_str());
    return 1;
  }
  std::vector<uint8_t> out;
  bool ok = true;
  for (size_t i = 0; i < stages.size(); i++)
    ok = CompileStage(o, static_cast<int>(i) + 1, stages[i], out) && ok;
  if (!ok || !WriteFile(o.Out, reinterpret_cast<const char*>(out.data()), out.size())) {
    if (ok) std::fprintf(stderr, "stagec: cannot write %s\n", o.Out.c_str());
    std::remove(o.Out.c_str());
    return 1;
  }
  std::printf("%s: %zu stages written to %s\n", BaseName(o.In).c_str(), stages.size(),
              o.Out.c_str());
  return 0;
}
