#pragma once

class QImage;

// Moves an image's pixels by (dx, dy) within the image itself, line by line:
// a panel's scroll step then costs the moved pixels once, not a copy of the
// whole image and a drawing of it back. What the move uncovers keeps its old
// pixels (the caller paints it anew). Images whose pixels are not whole bytes
// are left alone; false then, true otherwise.
bool ScrollImage(QImage &image, int dx, int dy);
