// The one routine that ends the program's use of every device.
#pragma once

// Releases the sound, the mouse, the surfaces and the display device, then the fonts,
// emptying every reference: safe at any stage of the start-up and any number of times.
void shutdown_all();
