#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <vector>

class QAction;
class QToolButton;
class TFontSizeComboBox;
class TItemStructItem;
class TPercentComboBox;
class TScFontComboBox;

// The boxes and buttons of the main window that tune the chart (zoom,
// transparency of filtered bars, column width, font and bar layout), with the
// menu items that go with them.
struct TViewControls {
    TPercentComboBox *ZoomComboBox = nullptr;
    TPercentComboBox *TransparenceComboBox = nullptr;
    QToolButton *ColumnWidthButton = nullptr;
    QToolButton *ToolButton16 = nullptr; // column width + 1
    QToolButton *ToolButton20 = nullptr; // column width - 1
    TScFontComboBox *ScFontComboBox1 = nullptr;
    TFontSizeComboBox *FontSizeComboBox1 = nullptr;
    QToolButton *UpDownRowHeightUp = nullptr;
    QToolButton *UpDownRowHeightDown = nullptr;
    QToolButton *ItemStructButton = nullptr;
    std::vector<QAction *> ZoomItems;
    std::vector<QAction *> TransparencyItems;
    std::array<QAction *, 3> ItemStruct {};
    std::array<TItemStructItem *, 3> ItemStructItems {};
    // ItemStructImageList: the pictures of the three bar layouts.
    std::array<QImage, 3> ItemStructImages;
    // The newer version the update check found; empty while none.
    QString FoundVersion;
};
