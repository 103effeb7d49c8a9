// Shown trees for the painting, text and scrolling tests: no frame, no scroll
// bars unless a test wants them, columns of given widths and colours.
#pragma once

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ScrollBarOptions.h"
#include "tests/support/PixelTest.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <initializer_list>

namespace treetest {

// Shows View with a client area of Width x Height (no frame, no bars).
inline void ShowTree(TGridTreeView &View, int Width, int Height, bool Bars = false)
{
    View.SetBorderStyle(bsNone);
    if (!Bars)
        View.ScrollBarOptions().SetScrollBars(ssNone);
    View.resize(Width, Height);
    View.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&View));
    QApplication::processEvents();
}

// Columns of these widths; with a colour each keeps its own (no parent colour).
inline void AddColumns(
    TGridTreeView &View, std::initializer_list<int> Widths, std::initializer_list<TColor> Colors = {})
{
    auto color = Colors.begin();
    for (const int width : Widths) {
        TGridTreeColumn &column = View.Header().Columns().Add();
        column.SetWidth(width);
        if (color != Colors.end()) {
            column.SetOptions(column.Options() - TGTColumnOptions { coParentColor });
            column.SetColor(*color++);
        }
    }
}

inline void AddPaintOptions(TGridTreeView &View, TGTPaintOptions Options)
{
    View.TreeOptions().SetPaintOptions(View.TreeOptions().PaintOptions() + Options);
}

inline void RemovePaintOptions(TGridTreeView &View, TGTPaintOptions Options)
{
    View.TreeOptions().SetPaintOptions(View.TreeOptions().PaintOptions() - Options);
}

// What the window shows: the client area painted through its paint event.
inline QImage Screen(TGridTreeView &View)
{
    QApplication::processEvents();
    return View.viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The node at a row of a flat tree.
inline TGridNode *Row(TGridTreeView &View, int Index)
{
    TGridNode *node = View.Tree()->GetFirst();
    for (int i = 0; node && i < Index; ++i)
        node = node->NextSibling();
    return node;
}

} // namespace treetest
