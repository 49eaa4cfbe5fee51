// SPDX-License-Identifier: Zlib
#include "platform/sdl/render_probe.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>
#include <initializer_list>

namespace plat::renderprobe {

bool ServerMayAccelerate(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
    return true;
  // SDL has loaded Xlib already; this only looks the function up in it.
  void* xlib = SDL_LoadObject("libX11.so.6");
  if (xlib == nullptr) return true;
  using QueryExtension = int (*)(Display*, const char*, int*, int*, int*);
  auto query = reinterpret_cast<QueryExtension>(SDL_LoadFunction(xlib, "XQueryExtension"));
  bool direct = query == nullptr;
  // Mesa's drivers render directly through DRI3 or DRI2, NVIDIA's through NV-GLX.
  for (const char* name : {"DRI3", "DRI2", "NV-GLX"}) {
    int opcode = 0, event = 0, error = 0;
    if (query != nullptr && query(info.info.x11.display, name, &opcode, &event, &error) != 0)
      direct = true;
  }
  SDL_UnloadObject(xlib);
  return direct;
}

bool IsSoftwareGl(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
    return false;
  using GetString = const unsigned char* (*)(unsigned int);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (getString == nullptr) return false;
  constexpr unsigned int kGlRenderer = 0x1F01;
  const auto* name = reinterpret_cast<const char*>(getString(kGlRenderer));
  if (name == nullptr) return false;
  for (const char* rasteriser : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
    if (std::strstr(name, rasteriser) != nullptr) return true;
  return false;
}

}  // namespace plat::renderprobe
