#pragma once

#include "controls/FontTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QComboBox>
#include <QPixmap>
#include <array>

class TFormExampleFont;

// The toolbar's font-name box: the screen's fonts with a picture of their type,
// each name drawn in its own face, the fonts chosen last on top of the list, and
// a preview window beside the open list.
class TScFontComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 18;

    explicit TScFontComboBox(QWidget *Parent = nullptr);
    ~TScFontComboBox() override;

    // The chosen face. Setting it chooses the item of that name (moving it to the
    // top); a face not in the list is kept with no item chosen.
    QString FontName() const { return FStrFontName; }
    void SetFontName(const QString &Name);

    TFontTypes FontTypes() const { return FFontTypes; }
    // Rebuilds the list with the fonts of these types.
    void SetFontTypes(TFontTypes Types);
    bool MoveUsedToTop() const { return FBlnMoveUsedToTop; }
    void SetMoveUsedToTop(bool Value) { FBlnMoveUsedToTop = Value; }
    // How many chosen fonts the top of the list keeps (0: no limit).
    int MaxUsed() const { return FIntMaxUsed; }
    void SetMaxUsed(int Value) { FIntMaxUsed = Value; }
    // The number of items in the chosen part at the top.
    int UsedCount() const { return FUsedCount; }
    void SetShowPreview(bool Value) { FBlnShowPreview = Value; }
    void SetShowPreviewInList(bool Value) { FBlnShowPreviewInList = Value; }
    void SetShowPreviewInEdit(bool Value) { FBlnShowPreviewInEdit = Value; }
    void SetShowImagesFontType(bool Value) { FBlnShowImagesFontType = Value; }
    void SetShowPreviewFontName(bool Value) { FBlnShowPreviewFontName = Value; }
    // The preview's text ("AaBbYyZz" when empty).
    void SetPreviewText(const QString &Text) { FStrPreviewText = Text; }

    // The type text ("TA", "TS", "R") of item Index.
    QString ItemFontType(int Index) const;
    TFormExampleFont *Preview() const { return FPreview; }

    // Paints item Index into Rect as the open list (InList) or the closed box shows it.
    void DrawItem(QPainter &Painter, int Index, const TRect &Rect, bool Selected, bool InList) const;

    QSize sizeHint() const override;
    void showPopup() override;

signals:
    // A font was chosen from the list or by keys while the list is closed.
    void Clicked();

protected:
    void paintEvent(QPaintEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void GetFontNames();
    void ChooseFont();
    void Click();
    void CloseUp();
    void PlacePreview();
    void ShowPreviewOf(int Index);
    int IndexOfName(const QString &Name) const;
    TFontType TypeOf(int Index) const;

    TFontTypes FFontTypes = ftTrueTypeAnsi | ftTrueTypeSymbol;
    bool FBlnMoveUsedToTop = true;
    int FIntMaxUsed = 5;
    TColor FColorUsed = clNavy;
    bool FBlnShowPreviewInList = true;
    bool FBlnShowPreview = true;
    bool FBlnShowImagesFontType = true;
    bool FBlnShowPreviewFontName = true;
    bool FBlnShowPreviewInEdit = false;
    QString FStrPreviewText;
    QString FStrFontName;
    int FUsedCount = 0;
    std::array<QPixmap, 3> FImages;
    TFormExampleFont *FPreview;
    QWidget *FListWindow = nullptr;
    bool FDroppedDown = false;
    bool FCloseUpPending = false;
    // The list is being changed by the control itself: index changes are not choices.
    bool FUpdating = false;
};
