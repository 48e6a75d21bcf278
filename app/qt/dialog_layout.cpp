#include "app/qt/dialog_layout.h"

#include <QStringList>
#include <array>

namespace kestrel {
namespace {

constexpr std::array kTemplate{
    ControlTemplate{kIdStatic, ControlKind::label, "电脑文件", {14, 19, 41, 11}},
    ControlTemplate{kIdStatic, ControlKind::label, "文曲星目录", {14, 62, 48, 11}},
    ControlTemplate{kIdStatic, ControlKind::label, "文曲星文件", {14, 40, 48, 11}},
    ControlTemplate{kIdPcPath, ControlKind::edit, "", {65, 19, 79, 12}},
    ControlTemplate{kIdDeviceName, ControlKind::edit, "", {65, 40, 79, 12}},
    ControlTemplate{kIdDownload, ControlKind::button, "下载", {15, 128, 34, 13}},
    ControlTemplate{kIdUpload, ControlKind::button, "上传", {75, 128, 34, 13}},
    ControlTemplate{kIdExit, ControlKind::button, "退出", {138, 128, 34, 13}},
    ControlTemplate{kIdBrowse, ControlKind::button, "浏览", {162, 20, 22, 12}},
    ControlTemplate{
        kIdStatic, ControlKind::label, "KESTREL：在电脑和文曲星之间传送文件", {15, 86, 174, 11}},
    ControlTemplate{kIdStatus, ControlKind::statusLine, "", {14, 99, 189, 27}},
    ControlTemplate{kIdPort, ControlKind::portList, "", {150, 40, 53, 59}},
    ControlTemplate{kIdDeviceDirectory, ControlKind::directoryBox, "", {65, 59, 79, 63}},
    ControlTemplate{kIdFetchAsUtf8, ControlKind::checkBox, "存为UTF-8", {150, 60, 53, 12}},
    ControlTemplate{kIdStatic, ControlKind::label, "端口", {150, 32, 30, 8}},
    ControlTemplate{kIdAbout, ControlKind::button, "关于(&A)", {178, 128, 25, 13}},
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
