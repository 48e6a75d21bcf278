#include "app/qt/dialog_layout.h"

#include <QStringList>
#include <array>

#include "app/core/app_texts.h"
#include "app/qt/dialog_texts.h"

namespace kestrel {
namespace {

constexpr std::array kTemplate{
    ControlTemplate{kIdStatic, ControlKind::label, texts::kLabelPcFile, {14, 19, 41, 11}},
    ControlTemplate{kIdStatic, ControlKind::label, texts::kLabelDeviceDirectory, {14, 62, 48, 11}},
    ControlTemplate{kIdStatic, ControlKind::label, texts::kLabelDeviceFile, {14, 40, 48, 11}},
    ControlTemplate{kIdPcPath, ControlKind::edit, {}, {65, 19, 79, 12}},
    ControlTemplate{kIdDeviceName, ControlKind::edit, {}, {65, 40, 79, 12}},
    ControlTemplate{kIdDownload, ControlKind::button, texts::kDownload, {15, 128, 34, 13}},
    ControlTemplate{kIdUpload, ControlKind::button, texts::kUpload, {75, 128, 34, 13}},
    ControlTemplate{kIdExit, ControlKind::button, texts::kExit, {138, 128, 34, 13}},
    ControlTemplate{kIdBrowse, ControlKind::button, texts::kBrowse, {162, 20, 22, 12}},
    ControlTemplate{kIdStatic, ControlKind::label, texts::kCreditLine, {15, 86, 174, 11}},
    ControlTemplate{kIdStatus, ControlKind::statusLine, {}, {14, 99, 189, 27}},
    ControlTemplate{kIdPort, ControlKind::portList, {}, {150, 40, 53, 59}},
    ControlTemplate{kIdDeviceDirectory, ControlKind::directoryBox, {}, {65, 59, 79, 63}},
    ControlTemplate{kIdFetchAsUtf8, ControlKind::checkBox, texts::kFetchAsUtf8, {150, 60, 53, 12}},
    ControlTemplate{kIdStatic, ControlKind::label, texts::kLabelPort, {150, 32, 30, 8}},
    ControlTemplate{kIdAbout, ControlKind::button, texts::kAbout, {178, 128, 25, 13}},
};

// Rounds a * b / c to nearest, as the platform's MulDiv does for positives.
int MulDiv(int a, int b, int c) {
    return (2 * a * b + c) / (2 * c);
}

}  // namespace

std::span<const ControlTemplate> DialogTemplate() {
    return kTemplate;
}

BaseUnits BaseUnitsOf(const QFontMetrics& metrics) {
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

QRect ToPixels(const DialogRect& rect, BaseUnits base) {
    return {MulDiv(rect.x, base.averageCharWidth, 4), MulDiv(rect.y, base.charHeight, 8),
            MulDiv(rect.width, base.averageCharWidth, 4), MulDiv(rect.height, base.charHeight, 8)};
}

QSize DialogSizeInPixels(BaseUnits base) {
    const QRect whole = ToPixels({0, 0, kDialogWidthUnits, kDialogHeightUnits}, base);
    return whole.size();
}

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("PingFang SC"),
                      QStringLiteral("Heiti SC")});
    font.setPixelSize(13);
    return font;
}

}  // namespace kestrel
