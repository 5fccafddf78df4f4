#pragma once

// The window's view written as scene text, so that pasting it into the scene
// file renders what the window shows.

#include <string>

#include "camera.h"
#include "light.h"

// The shortest decimal text that reads back as the same double.
std::string exactNumber(double value);
// camera { location <x, y, z> up <x, y, z> right <x, y, z> look_at <x, y, z> },
// with the lens's keys when it blurs.
std::string cameraStatement(const Camera& view);
// light_source { <x, y, z> color rgb <r, g, b> }, with the light's modifiers.
std::string lightStatement(const Light& light);

// The camera that sees the scene as the preview shows it when it turns the
// scene by rotateDegrees about the world y axis: the camera turned the other
// way about the same axis. Only the length of right counts, so it is kept as
// it is; a rotation of 0 returns the camera unchanged.
Camera turnedCamera(const Camera& view, double rotateDegrees);
// The camera of what the window shows: the preview's rotation folded in in
// the OpenGL mode; the ray-traced view has none.
Camera shownCamera();
// What the c key prints: the shown camera and, when there is one, the first
// light, one statement a line.
std::string viewStatements();
