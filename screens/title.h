// The title screen shown before the first picture.
#pragma once

// Picture 2 with the credit, title and click lines, shown by a flip. A show whose
// directory holds TITLE.TXT has that file's line as its title line.
void show_title_screen();
