// Registers Kelvane's resources: menu 101, dialogs 103, 106 and 108,
// accelerator table 109, icon 107 and the help file. Call once before the
// window class is registered; registering again replaces them.
#pragma once

// TRUE when every resource was accepted.
bool RegisterApplicationResources();
