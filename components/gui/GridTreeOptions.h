#pragma once

#include "components/BaseGridTree.h"
#include "components/TreeOptionSets.h"

class TGridTreeView;

// The option sets of a tree view. Each setter acts only on a change and has
// the view apply what the change means (repaint, clear the selection, theme,
// drop target, ...). The paint, auto and misc sets are the node store's too:
// the view hands them on whenever they change or a store is attached.
class TCustomGridTreeOptions {
public:
    explicit TCustomGridTreeOptions(TGridTreeView &Owner);
    virtual ~TCustomGridTreeOptions() = default;
    TCustomGridTreeOptions(const TCustomGridTreeOptions &) = delete;
    TCustomGridTreeOptions &operator=(const TCustomGridTreeOptions &) = delete;

    TGridTreeView &Owner() const { return FOwner; }

    TGTPaintOptions PaintOptions() const { return FPaintOptions; }
    void SetPaintOptions(TGTPaintOptions Value);
    TGTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    void SetAnimationOptions(TGTAnimationOptions Value) { FAnimationOptions = Value; }
    TGTAutoOptions AutoOptions() const { return FAutoOptions; }
    void SetAutoOptions(TGTAutoOptions Value);
    TGTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    void SetSelectionOptions(TGTSelectionOptions Value);
    TGTMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetMiscOptions(TGTMiscOptions Value);

    // Copies every set through the setters.
    virtual void Assign(const TCustomGridTreeOptions &Source);

private:
    TGridTreeView &FOwner;
    TGTPaintOptions FPaintOptions { toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines, toThemeAware,
        toUseBlendedImages };
    TGTAnimationOptions FAnimationOptions;
    TGTAutoOptions FAutoOptions { toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
        toAutoDeleteMovedNodes };
    TGTSelectionOptions FSelectionOptions;
    TGTMiscOptions FMiscOptions { toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick,
        toWheelPanning, toEditOnClick };
};

// The string tree's options add the string set.
class TCustomStringTreeOptions : public TCustomGridTreeOptions {
public:
    using TCustomGridTreeOptions::TCustomGridTreeOptions;

    TGTStringOptions StringOptions() const { return FStringOptions; }
    // A change of toShowStaticText repaints.
    void SetStringOptions(TGTStringOptions Value);

    void Assign(const TCustomGridTreeOptions &Source) override;

private:
    TGTStringOptions FStringOptions { toSaveCaptions, toAutoAcceptEditChange };
};
