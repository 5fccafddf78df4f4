#pragma once

// The p key of the window: the shown view, ray-traced at the window's size,
// saved as a PNG file next to the scene.

#include <string>

class TraceIndexCache;

// The first of scene-view1.png, scene-view2.png, ... that does not exist yet,
// "scene" being the scene file's name without its ".pov" ending; a saved view
// is never overwritten.
std::string viewPictureName(const std::string& sceneFileName);

// Traces the shown camera (view_statement.h), the lights and the render list
// at the window's size, as a batch render of the c key's statements would,
// and writes it to viewPictureName(gInputFileName), printing "Saved view: "
// and the name. A view or file that fails is reported on standard error;
// the window goes on either way.
void saveViewPicture(TraceIndexCache& index);
