#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPicture>
#include <QPoint>
#include <QString>
#include <deque>

// A font as page drawing uses it: a size in points turned into pixels for the page's
// resolution, and a colour of its own (text is drawn in the font's colour, lines in
// the pen's).
class TPageFont {
public:
    // The font every new page starts with: Arial, 10 pt, black.
    explicit TPageFont(int pixelsPerInch);

    QString Name() const { return FFont.family(); }
    void SetName(const QString &name) { FFont.setFamily(name); }
    // Points; a negative size is taken by its magnitude.
    int Size() const { return FSize; }
    void SetSize(int points);
    // Pixels on the page.
    int Height() const { return FFont.pixelSize(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    bool Bold() const { return FFont.bold(); }
    void SetBold(bool on) { FFont.setBold(on); }
    bool Italic() const { return FFont.italic(); }
    void SetItalic(bool on) { FFont.setItalic(on); }
    bool Underline() const { return FFont.underline(); }
    void SetUnderline(bool on) { FFont.setUnderline(on); }
    int PixelsPerInch() const { return FPixelsPerInch; }

    const QFont &Font() const { return FFont; }

    bool operator==(const TPageFont &other) const
    {
        return FFont == other.FFont && FSize == other.FSize && FColor == other.FColor
            && FPixelsPerInch == other.FPixelsPerInch;
    }

private:
    QFont FFont;
    int FSize = 10;
    TColor FColor = clBlack;
    int FPixelsPerInch = 96;
};

// What is recorded on one page, in printer pixels from the printable area's top left:
// one picture or, when drawing went back to the page after another page's, several,
// played in order. A painter begun on a picture starts it afresh, so a page taken up
// again gets a new picture; and since completing a picture costs time in proportion
// to its size, pages are completed as drawing moves on, not all at the end.
class TPagePicture {
public:
    // A new picture at the end, for a painter to begin on.
    QPicture &Append();
    // Replays the page with one printer pixel to one unit of the painter's transform.
    void Play(QPainter &painter) const;
    int PictureCount() const { return int(FPictures.size()); }

private:
    std::deque<QPicture> FPictures; // stable addresses for the painter
};

// Drawing on one page: the font, pen and brush that drawing uses, and a painter that
// is begun on the page when something is drawn and ended by Close. Coordinates are
// printer pixels from the printable area's top left.
class TPageCanvas {
public:
    TPageCanvas(TPagePicture &page, int pixelsPerInch);
    ~TPageCanvas();
    TPageCanvas(const TPageCanvas &) = delete;
    TPageCanvas &operator=(const TPageCanvas &) = delete;

    // For drawing that goes beyond the operations below; set its state freely, the
    // operations below set what they use. It stays open until Close (the job closes
    // a page's canvas when another page becomes current). Its device is a picture
    // whose resolution is not the printer's: size fonts by the printer's pixels per
    // inch, not by the device's.
    QPainter &Painter();
    // Completes what was drawn so far; drawing again continues on a new picture.
    void Close();
    TPageFont &Font() { return FFont; }
    // A pen of width 1 or less draws one device pixel wide, on paper and in the preview.
    QPen &Pen() { return FPen; }
    // Fills rectangles, and the background of text unless its style is Qt::NoBrush.
    QBrush &Brush() { return FBrush; }

    // From `from` up to, not including, `to` when the line is horizontal or vertical.
    void Line(QPoint from, QPoint to);
    // Outline with the pen and inside filled with the brush; right and bottom exclusive.
    void Rectangle(const TRect &rect);
    // Text with its top left at (x, y).
    void TextOut(int x, int y, const QString &text);
    // Text laid out in `rect` by DT_* flags (see DrawTextEx); returns the text height.
    int DrawText(TRect &rect, const QString &text, unsigned format);
    int TextWidth(const QString &text) const;
    // The full height of one line of text in the current font.
    int TextHeight() const;

private:
    // The painter, readied for lines or for text.
    QPainter &SelectPen();
    QPainter &SelectFont();

    TPagePicture &FPage;
    QPainter FPainter;
    TPageFont FFont;
    QPen FPen;
    QBrush FBrush;
};
