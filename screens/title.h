// The title screen shown before the first picture.
#pragma once

// Picture 2 with the credit, title and click lines, shown by a flip.
void show_title_screen();
