#pragma once
// The dialog's template: every control with its id, kind, text and
// rectangle in dialog units, in the order that is also the tab order; and
// the conversion of dialog units to pixels through the dialog font, as the
// desktop dialog manager does, so the dialog keeps the proportions of the
// Windows one whatever the font.

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <span>
#include <string_view>

namespace kestrel {

// Control ids of the dialog; tests and the template share them.
enum ControlId : int {
    kIdStatic = 0,  // labels and the credit line have no id
    kIdPcPath = 1000,
    kIdDeviceName = 1001,
    kIdDeviceDirectory = 1002,
    kIdDownload = 1003,
    kIdUpload = 1004,
    kIdExit = 1005,
    kIdBrowse = 1006,
    kIdStatus = 1007,
    kIdPort = 1012,
    kIdFetchAsUtf8 = 1014,
    kIdAbout = 1015,
};

enum class ControlKind { label, edit, statusLine, button, portList, directoryBox, checkBox };

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    ControlId id;
    ControlKind kind;
    const char* text;  // UTF-8, as in the Windows template; empty for boxes
    DialogRect rect;   // for the two lists, the height includes the open list; the
                       // status line has room for three lines, down to the buttons
};

inline constexpr int kDialogWidthUnits = 210;
inline constexpr int kDialogHeightUnits = 149;
// A closed drop-down list is as tall as an edit box.
inline constexpr int kClosedListHeightUnits = 12;

std::span<const ControlTemplate> DialogTemplate();

// The font's average character width and height in pixels, measured as the
// dialog manager measures them.
struct BaseUnits {
    int averageCharWidth = 0;
    int charHeight = 0;
};

BaseUnits BaseUnitsOf(const QFontMetrics& metrics);
// x * averageCharWidth / 4 and y * charHeight / 8, rounded to nearest.
QRect ToPixels(const DialogRect& rect, BaseUnits base);
QSize DialogSizeInPixels(BaseUnits base);

// The dialog's font: 宋体 where present, else a CJK face the desktop has, at
// the pixel size of 10 points on a 96-dpi screen.
QFont DialogFont();

}  // namespace kestrel
