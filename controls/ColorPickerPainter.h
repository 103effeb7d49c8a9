#pragma once

#include "controls/ColorPickerGeometry.h"

#include <QSize>
#include <QString>

class QPainter;

// What the picker shows besides its geometry.
struct TColorPickerState {
    QString DefaultText;
    QString CustomText;
    int SelectedIndex = TColorPickerGeometry::NoCell;
    int HoverIndex = TColorPickerGeometry::NoCell;
    // The comb choice (see TColorPickerGeometry::CustomColor), 0 for none.
    int CustomIndex = 0;
    // The left button went down on the picker and is still held.
    bool LeftButtonDown = false;
};

// Paints the whole picker of `clientSize` from (0, 0) of `painter`: captions, cells,
// the mix area while it is selected, and the raised frame. Text uses the painter's font.
void PaintColorPicker(QPainter &painter, const TColorPickerGeometry &geometry, const TColorPickerState &state,
    QSize clientSize);
