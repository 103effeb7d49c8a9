#pragma once

#include <memory>

class TImageList;

// The main window's image list (ImageList): 16 x 16 icons of our own for the
// actions, the menus and the header, drawn once at start-up. The sort menu's
// two images keep their fixed places 18 and 19.
enum TMainImage : int {
    miNew,
    miOpen,
    miSave,
    miCut,
    miCopy,
    miPaste,
    miUndo,
    miRedo,
    miAddNode,
    miDeleteNode,
    miFind,
    miSplit,
    miGoto,
    miPrint,
    miPrintList,
    miSelectAll,
    miFilter,
    miAutoSize,
    miSortAscending = 18,
    miSortDescending = 19,
    miClearFilter = 20,
    miClearAllFilters = 21,
    // A column's entry in the filter menu: filtered, not filtered.
    miColumnFiltered = 22,
    miColumnNotFiltered = 23,
    kMainImageCount
};

std::unique_ptr<TImageList> MakeMainImages();
