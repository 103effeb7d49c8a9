#pragma once

#include <QString>
#include <QWidget>

// The font list's preview: a small white borderless window beside the open list
// that shows a sample text in the highlighted face and, below it, the face's name.
// It never takes the focus, so the list keeps the keyboard.
class TFormExampleFont : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreviewWidth = 240;
    static constexpr int PreviewHeight = 60;
    static constexpr int SamplePoints = 20;

    explicit TFormExampleFont(QWidget *Owner);

    // Shows Text in the face FontName; without ShowFontName the sample has the
    // whole window.
    void SetSample(const QString &FontName, const QString &Text, bool ShowFontName);
    QString FontName() const { return FFontName; }
    QString SampleText() const { return FText; }

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    QString FFontName;
    QString FText;
    bool FShowFontName = true;
};
