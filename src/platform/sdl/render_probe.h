// SPDX-License-Identifier: Zlib
// Whether OpenGL would draw the window on a graphics processor. Where it
// would not (an X server without direct rendering such as Xvfb or a remote
// display, or Mesa's llvmpipe in a virtual machine), GL runs a software
// rasteriser that costs several times the processor time of SDL's own
// software renderer for this game's whole-number scaling, and loads tens of
// megabytes of code; the window is then drawn by SDL's software renderer.
#pragma once

struct SDL_Window;
struct SDL_Renderer;

namespace plat::renderprobe {

// False when the window's X server offers no direct rendering (none of the
// DRI3, DRI2 and NV-GLX extensions), so that GL could only run in software.
// True where it cannot tell (other video drivers).
bool ServerMayAccelerate(SDL_Window* window);

// True for an OpenGL renderer whose GL_RENDERER names a software rasteriser
// (llvmpipe, softpipe, swrast). The renderer's context must be current, as
// it is right after SDL_CreateRenderer.
bool IsSoftwareGl(SDL_Renderer* renderer);

}  // namespace plat::renderprobe
