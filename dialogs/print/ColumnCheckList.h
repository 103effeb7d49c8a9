#pragma once

#include "components/gui/StringGridTree.h"

#include <QStringList>
#include <functional>
#include <vector>

// A list of the columns of a table with a check box each: printing and the
// statistics let the user choose columns with it. A disabled entry cannot be
// checked or unchecked.
class TColumnCheckList : public TStringGridTree {
    Q_OBJECT
public:
    explicit TColumnCheckList(QWidget *parent = nullptr);

    // One entry per caption, checked as `checked` says; the entries whose flag in
    // `enabled` is false (when given) are disabled.
    void Fill(const QStringList &captions, bool checked, const std::vector<bool> &enabled = {});
    int Count() const { return FCaptions.size(); }
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    bool Enabled(int index) const;
    // The entry's node (for clicks in tests and hit tests); null outside.
    TGridNode *Node(int index) const;

    // After the user or SetChecked changed an entry.
    std::function<void(int index)> OnCheck;

private:
    QStringList FCaptions;
    std::vector<bool> FEnabled;
    std::vector<TGridNode *> FNodes;
};
