#pragma once

#include <QCursor>

// The magnifier cursors over a page: zoom in over the small preview, zoom out over
// the full-screen view. Drawn here, so they look the same on every desktop.
enum class TZoom { In, Out };

// The hot spot is the glass's centre.
QCursor ZoomCursor(TZoom zoom);
