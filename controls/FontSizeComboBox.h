#pragma once

#include <QComboBox>

// The toolbar's font-size box: the usual sizes for a scalable (or missing) font,
// the sizes a bitmap font comes in otherwise. A typed size is kept when the font
// changes.
class TFontSizeComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TFontSizeComboBox(QWidget *Parent = nullptr);

    QString FontName() const { return FFontName; }
    // Rebuilds the list for the font.
    void SetFontName(const QString &Name);

    void Build();

private:
    QString FFontName;
};
