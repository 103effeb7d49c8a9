#include "controls/FontSizeComboBox.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <array>

namespace {

constexpr std::array kScalableSizes { 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };

} // namespace

TFontSizeComboBox::TFontSizeComboBox(QWidget *Parent)
    : QComboBox(Parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void TFontSizeComboBox::SetFontName(const QString &Name)
{
    FFontName = Name;
    Build();
}

void TFontSizeComboBox::Build()
{
    const QString typed = currentText();
    clear();
    // A font this machine lacks is drawn with a scalable substitute.
    if (!QFontDatabase::hasFamily(FFontName) || QFontDatabase::isSmoothlyScalable(FFontName)) {
        for (int size : kScalableSizes)
            addItem(QString::number(size));
    } else {
        // The font database turns a bitmap font's pixel heights into points at the
        // screen's resolution.
        for (int size : QFontDatabase::pointSizes(FFontName))
            addItem(QString::number(size));
    }
    setCurrentIndex(findText(typed));
    setEditText(typed);
}
