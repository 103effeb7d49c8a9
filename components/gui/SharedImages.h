#pragma once

#include "components/gui/ImageList.h"

#include <QString>

// The image sets every tree shares, made once per process when the first tree
// is built: the seven built-in strips and the check images in the look of the
// widget style (plain, and flat).
enum TSharedImageList {
    silCheckLight,
    silCheckDark,
    silTickLight,
    silTickDark,
    silFlat,
    silXP,
    silUtilities,
    silSystem,
    silSystemFlat
};

// Makes the shared sets (once; safe to call from any number of trees). The
// system sets are drawn by the application's style: call it on the GUI thread
// of a QApplication.
void InitializeGlobalStructures();
// Draws the shared sets again in the application's current colours (once per
// palette, however many trees ask); the lists stay the same objects.
void RecreateSharedImages();
// A shared set, made first when needed.
const TImageList &SharedImages(TSharedImageList Which);

// Fills ImageList with the named strip (ImageStrips.h) cut into square images,
// the colour of the strip's top-left pixel masked out. With ColorRemapping white,
// silver and grey become the window, button-face and button-shadow colours.
// Throws EGridTreeAssertion when there is no such strip.
void ConvertImageList(TImageList &ImageList, const QString &ImageName, bool ColorRemapping);

// Fills ImageList with the check images drawn by the widget style: image 0
// empty, 1-20 from AddSystemImage (0-19), 21-24 from AddNodeImages. The images
// are the style's indicator size + 3 square; Flat draws them without shading.
void CreateSystemImageSet(TImageList &ImageList, bool Flat);
// Index 0-7 a radio button, 8-15 a check box, 16-19 a mixed check box; Index
// mod 4 the state (normal, hot, pressed, disabled); 4-7 and 12-19 checked.
void AddSystemImage(TImageList &ImageList, int Index, bool Flat);
// The four button images (21-24) of "GT_FLAT" (Flat) or "GT_CHECK_DARK",
// centred in the list's image size.
void AddNodeImages(TImageList &ImageList, bool Flat);
