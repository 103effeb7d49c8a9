#include "components/gui/SharedImages.h"

#include "components/GridTreeErrors.h"
#include "components/gui/ImageStrips.h"
#include "platform/gui/Rect.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <array>
#include <memory>
#include <mutex>

namespace {

constexpr int SharedListCount = silSystemFlat + 1;

std::mutex &ConversionLock()
{
    static std::mutex lock;
    return lock;
}

std::array<std::unique_ptr<TImageList>, SharedListCount> &SharedLists()
{
    static std::array<std::unique_ptr<TImageList>, SharedListCount> lists;
    return lists;
}

void RemapColors(QImage &strip)
{
    const QRgb white = ToQRgb(clWhite), silver = ToQRgb(clSilver), grey = ToQRgb(clGray);
    const QRgb window = ToQRgb(clWindow), face = ToQRgb(clBtnFace), shadow = ToQRgb(clBtnShadow);
    for (int y = 0; y < strip.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if (row[x] == white)
                row[x] = window;
            else if (row[x] == silver)
                row[x] = face;
            else if (row[x] == grey)
                row[x] = shadow;
        }
    }
}

// The flat set is drawn with every shading role of the palette set to one
// colour, so that a style's raised and sunken edges become a plain frame.
QPalette FlatPalette(QPalette palette)
{
    const QColor frame = ToQColor(clBtnShadow);
    const QColor face = ToQColor(clWindow);
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        for (const auto role :
            { QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark, QPalette::Shadow })
            palette.setColor(group, role, frame);
        for (const auto role : { QPalette::Button, QPalette::Base, QPalette::Window })
            palette.setColor(group, role, face);
    }
    return palette;
}

} // namespace

void ConvertImageList(TImageList &ImageList, const QString &ImageName, bool ColorRemapping)
{
    const std::lock_guard guard(ConversionLock());
    QImage strip = LoadImageStrip(ImageName).convertToFormat(QImage::Format_ARGB32);
    if (strip.height() == 0) {
        const QByteArray text = ("Internal image \"" + ImageName + "\" is missing or corrupt.").toUtf8();
        throw EGridTreeAssertion(text.constData());
    }
    if (ColorRemapping)
        RemapColors(strip);
    const int size = strip.height();
    const TColor mask = FromQRgb(strip.pixel(0, 0));
    ImageList.SetSize(size, size);
    for (int i = 0; i < strip.width() / size; ++i)
        ImageList.AddMasked(strip.copy(i * size, 0, size, size), mask);
}

void AddSystemImage(TImageList &ImageList, int Index, bool Flat)
{
    QImage image(ImageList.Width(), ImageList.Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOptionButton option;
    option.rect = ToQRect(Rect(1, 2, image.width() - 2, image.height() - 1));
    option.palette = Flat ? FlatPalette(QApplication::palette()) : QApplication::palette();
    switch (Index % 4) {
    case 0:
        option.state = QStyle::State_Enabled;
        break;
    case 1:
        option.state = QStyle::State_Enabled | QStyle::State_MouseOver;
        break;
    case 2:
        option.state = QStyle::State_Enabled | QStyle::State_Sunken;
        break;
    default:
        option.state = QStyle::State_None;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
        break;
    }
    const bool checked = (Index >= 4 && Index <= 7) || Index >= 12;
    if (Index >= 16)
        option.state |= QStyle::State_NoChange;
    else
        option.state |= checked ? QStyle::State_On : QStyle::State_Off;
    QPainter painter(&image);
    QApplication::style()->drawPrimitive(
        Index < 8 ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option, &painter);
    painter.end();
    ImageList.Add(image);
}

void AddNodeImages(TImageList &ImageList, bool Flat)
{
    TImageList source;
    ConvertImageList(source, Flat ? QStringLiteral("GT_FLAT") : QStringLiteral("GT_CHECK_DARK"), true);
    for (int index = 21; index <= 24; ++index) {
        QImage image(ImageList.Width(), ImageList.Height(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.drawImage((image.width() - source.Width()) / 2, (image.height() - source.Height()) / 2,
            source.Image(index));
        painter.end();
        ImageList.Add(image);
    }
}

void CreateSystemImageSet(TImageList &ImageList, bool Flat)
{
    const QStyle *style = QApplication::style();
    ImageList.SetSize(style->pixelMetric(QStyle::PM_IndicatorWidth) + 3,
        style->pixelMetric(QStyle::PM_IndicatorHeight) + 3);
    ImageList.SetBkColor(clWhite);
    ImageList.Add(QImage()); // image 0 shows nothing
    for (int index = 0; index < 20; ++index)
        AddSystemImage(ImageList, index, Flat);
    AddNodeImages(ImageList, Flat);
}

namespace {

// The palette the sets were last drawn in.
qint64 &SharedImagesPalette()
{
    static qint64 key = 0;
    return key;
}

// Fills the shared lists, making those that do not exist yet.
void BuildSharedLists()
{
    static const std::array<std::pair<const char *, bool>, 7> strips { {
        { "GT_CHECK_LIGHT", true },
        { "GT_CHECK_DARK", true },
        { "GT_TICK_LIGHT", true },
        { "GT_TICK_DARK", true },
        { "GT_FLAT", true },
        { "GT_XP", false },
        { "GT_UTILITIES", true },
    } };
    auto &lists = SharedLists();
    for (auto &list : lists)
        if (!list)
            list = std::make_unique<TImageList>();
    for (std::size_t i = 0; i < strips.size(); ++i)
        ConvertImageList(*lists[i], QString::fromLatin1(strips[i].first), strips[i].second);
    lists[silSystem]->Clear();
    CreateSystemImageSet(*lists[silSystem], false);
    lists[silSystemFlat]->Clear();
    CreateSystemImageSet(*lists[silSystemFlat], true);
    SharedImagesPalette() = QApplication::palette().cacheKey();
}

} // namespace

void InitializeGlobalStructures()
{
    static std::once_flag once;
    std::call_once(once, BuildSharedLists);
}

void RecreateSharedImages()
{
    InitializeGlobalStructures();
    if (SharedImagesPalette() != QApplication::palette().cacheKey())
        BuildSharedLists();
}

const TImageList &SharedImages(TSharedImageList Which)
{
    InitializeGlobalStructures();
    return *SharedLists()[std::size_t(Which)];
}
