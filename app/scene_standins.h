// STAND-INS until the scene objects and the full frame are built: the scene
// (globe, satellite and bar models, stars, star texture), the fixed render
// states and the frame-rate font do not exist yet. Each function here is an
// empty placeholder that the scene work replaces.
#pragma once

// Bounding radius of the globe's mesh, which limits how close the camera may
// come. STAND-IN: the unit sphere's radius, 1, until the globe exists.
float GlobeBoundRadius();
