// The camera key the keyboard reports: at most one per read.
#pragma once

enum CameraKey {
  KeyUp = 0,
  KeyDown = 1,
  KeyRight = 2,
  KeyLeft = 3,
  KeyX = 4,
  KeyZ = 5,
  KeySpace = 6,
  KeyNone = 9,
};
