#pragma once

#include "components/gui/GridTreeColumnsHost.h"

#include <QStringList>

namespace testsupport {

// A tree and header without a window: plain values, and a log of what the
// columns asked for.
class TFakeHost : public TGridTreeColumnsHost {
public:
    TGTHeaderOptions Options { hoColumnResize, hoDrag, hoShowSortGlyphs };
    THeaderStates States;
    TGTFixedAreaConstraints Constraints;
    TColumnIndex AutoSize = NoColumn, Main = NoColumn, Sort = NoColumn;
    bool Loading = false, Updating = false, Window = true, RTL = false;
    int Client = 400, Offset = 0, RTLOffset = 0;
    TColor Color = RGB(1, 2, 3);
    TBiDiMode BiDi = bdLeftToRight;
    QStringList Log;

    TGTHeaderOptions HeaderOptions() const override { return Options; }
    THeaderStates HeaderStates() const override { return States; }
    TGTFixedAreaConstraints FixedAreaConstraints() const override { return Constraints; }
    TRect HeaderRect() const override { return Rect(0, 0, Client, 17); }
    TColumnIndex AutoSizeIndex() const override { return AutoSize; }
    void StoreAutoSizeIndex(TColumnIndex v) override { AutoSize = v; }
    TColumnIndex MainColumn() const override { return Main; }
    void StoreMainColumn(TColumnIndex v) override { Main = v; }
    TColumnIndex SortColumn() const override { return Sort; }
    void StoreSortColumn(TColumnIndex v) override { Sort = v; }
    void InvalidateHeader(TColumnIndex c, bool) override { Log << QStringLiteral("header %1").arg(c); }
    void RescaleHeader() override { Log << "rescale"; }
    bool IsLoading() const override { return Loading; }
    bool IsUpdating() const override { return Updating; }
    bool HasWindow() const override { return Window; }
    int ClientWidth() const override { return Client; }
    int TreeHeight() const override { return 200; }
    int EffectiveOffsetX() const override { return Offset; }
    bool UseRightToLeftAlignment() const override { return RTL; }
    int ComputeRTLOffset() const override { return RTLOffset; }
    int Indent() const override { return 18; }
    TColor TreeColor() const override { return Color; }
    TBiDiMode TreeBiDiMode() const override { return BiDi; }
    void InvalidateTree() override { Log << "tree"; }
    void UpdateHorizontalScrollBar() override { Log << "scrollbar"; }
    void CancelEditing() override { Log << "cancel edit"; }
    void DoColumnResize(TColumnIndex c) override { Log << QStringLiteral("resize %1").arg(c); }
    void DoCanSplitterResize(QPoint, TColumnIndex c, bool &allowed) override
    {
        if (c == VetoSplitter)
            allowed = false;
    }
    void AnimateResizeStep(int x, int dx) override { Log << QStringLiteral("step %1 %2").arg(x).arg(dx); }

    TColumnIndex VetoSplitter = NoColumn;
};

} // namespace testsupport
