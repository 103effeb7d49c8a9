#include "timechart/BarTextLayout.h"

namespace {

// Gap between two texts of a line.
constexpr int TextGap = 4;

class TLineDraws {
public:
    void Add(const TRect &rect, unsigned align, const QString &text)
    {
        if (!text.isEmpty())
            FDraws.push_back({ rect, align, text });
    }
    std::vector<TBarTextDraw> Take() { return std::move(FDraws); }

private:
    std::vector<TBarTextDraw> FDraws;
};

TRect WithLeft(TRect r, int left)
{
    r.Left = left;
    return r;
}

TRect WithRight(TRect r, int right)
{
    r.Right = right;
    return r;
}

} // namespace

std::vector<TBarTextDraw> LayoutBarTextLine(TRect r, const QString &left, const QString &centre,
    const QString &right, bool drawFullText, const TTextWidth &textWidth)
{
    TLineDraws draws;
    const int allWidth = textWidth(left + centre + right);
    if (drawFullText && r.Width() - 8 < allWidth)
        r.Right = r.Left + allWidth + 8;
    const int w = r.Width();
    const int leftWidth = left.isEmpty() ? 0 : textWidth(left);
    const int rightWidth = right.isEmpty() ? 0 : textWidth(right);

    if (allWidth < w - 8) { // everything fits
        if (!left.isEmpty()) {
            draws.Add(r, DT_LEFT, left);
            r.Left += leftWidth + TextGap;
        }
        if (!right.isEmpty()) {
            draws.Add(r, DT_RIGHT, right);
            r.Right -= rightWidth + TextGap;
        }
        draws.Add(r, DT_CENTER, centre);
        return draws.Take();
    }

    if (centre.isEmpty()) {
        const int half = w / 2;
        const TRect leftHalf = WithRight(r, r.Left + half - 2);
        const TRect rightHalf = WithLeft(r, r.Left + half + 2);
        if (left.size() < right.size()) {
            if (leftWidth < half - 2) { // the shorter left text stays whole
                draws.Add(r, DT_LEFT, left);
                draws.Add(WithLeft(r, r.Left + leftWidth + TextGap), DT_LEFT, right);
            } else {
                draws.Add(rightHalf, DT_LEFT, right);
                draws.Add(leftHalf, DT_LEFT, left);
            }
        } else if (rightWidth < half - 2) { // the shorter right text stays whole
            draws.Add(r, DT_RIGHT, right);
            draws.Add(WithRight(r, r.Right - rightWidth - TextGap), DT_LEFT, left);
        } else {
            draws.Add(rightHalf, DT_LEFT, right);
            draws.Add(leftHalf, DT_LEFT, left);
        }
        return draws.Take();
    }

    const int centreWidth = textWidth(centre);
    if (centreWidth > w) { // its start stays visible
        draws.Add(r, DT_LEFT, centre);
        return draws.Take();
    }
    draws.Add(r, DT_CENTER, centre);
    const int centreLeft = r.Left + (w - centreWidth) / 2;
    draws.Add(WithRight(r, centreLeft - TextGap), DT_LEFT, left);
    draws.Add(WithLeft(r, centreLeft + centreWidth + TextGap), DT_LEFT, right);
    return draws.Take();
}
