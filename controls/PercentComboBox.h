#pragma once

#include <QComboBox>
#include <functional>
#include <vector>

// A box of percentages as the chart's zoom and transparency boxes show them:
// numbers in the list and in the edit part, each drawn followed by "%". Typing
// and choosing from the list both report a change.
class TPercentComboBox : public QComboBox {
    Q_OBJECT
public:
    // `maxLength` bounds what can be typed (0: no bound).
    TPercentComboBox(const std::vector<int> &values, int maxLength, QWidget *parent = nullptr);

    // The number the box shows, `fallback` when its text is not a whole number.
    int Value(int fallback) const;
    // Shows `percent` (choosing its item when it has one). Text being typed stays
    // as it is until the typing ends (Enter, or the focus leaves).
    void ShowValue(int percent);
    // Called after the user typed or chose.
    void SetOnChange(std::function<void()> handler) { FOnChange = std::move(handler); }

    // The text an item or the edit part shows for `text`.
    static QString Shown(const QString &text) { return text + QLatin1Char('%'); }

private:
    void Show(int percent);

    std::function<void()> FOnChange;
    int FValue = 0;
    bool FTyping = false;
};
