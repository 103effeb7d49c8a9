#pragma once

#include <cstdint>
#include <initializer_list>

class QObject;
class QWidget;

// `Tag` is a dynamic property on widgets and actions. 999 keeps a window, a menu
// item or a control (or every control inside a parent with that tag) in its own
// look; 1000, 1001 and 1002 change how some control painters work.
inline constexpr int TagKeepOwnLook = 999;
inline constexpr int TagParentFace = 1000;
inline constexpr int TagNoBorder = 1001;
inline constexpr int TagSideCaption = 1002;
int GetTag(const QObject *object);
void SetTag(QObject *object, int tag);

// What the flat look may take over: menus and kinds of standard controls...
enum TFlatControl : unsigned {
    xcMainMenu,
    xcPopupMenu,
    xcCombo,
    xcEdit,
    xcMemo,
    xcCheckBox,
    xcRadioButton,
    xcBitBtn,
    xcButton,
    xcUpDown,
    xcSpeedButton,
    xcPanel,
    xcGroupBox,
    xcListBox,
    xcListView,
    xcProgressBar,
    FlatControlCount
};
// ...and the kinds of parent a control may sit in.
enum TFlatContainer : unsigned {
    xccToolbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccForm,
    FlatContainerCount
};

template <typename E, unsigned N> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> items)
    {
        for (const E e : items)
            Include(e);
    }
    static constexpr TEnumSet All()
    {
        TEnumSet set;
        set.FBits = (std::uint32_t(1) << N) - 1;
        return set;
    }
    constexpr bool Contains(E e) const { return (FBits >> unsigned(e)) & 1u; }
    constexpr bool IsEmpty() const { return FBits == 0; }
    constexpr void Include(E e) { FBits |= std::uint32_t(1) << unsigned(e); }
    constexpr bool operator==(const TEnumSet &) const = default;

private:
    std::uint32_t FBits = 0;
};
using TFlatControls = TEnumSet<TFlatControl, FlatControlCount>;
using TFlatContainers = TEnumSet<TFlatContainer, FlatContainerCount>;

// The kind of a standard control: combo box, line edit, memo (plain and rich text
// edits), check box, radio button, push button (a bitmap button when it has an
// icon), spin box (up-down), tool button (speed button), plain frame (panel), group
// box, list view (list box), tree view (list view), progress bar. False for others.
bool ControlKindOf(const QWidget *control, TFlatControl &kind);
// The kind of the parent a control sits in: tool bar, plain frame (panel), the
// contents of a scroll area, group box, tab page, window. Plain widgets and button
// boxes only lay controls out: they count as their own parent. False for others.
bool ContainerKindOf(const QWidget *parent, TFlatContainer &kind);
