#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

namespace tileart {

// The desktop icons of the game and of its layout designer, drawn from the tiles.
struct AppIcon {
    QString id;  // application id; the icon theme's file name without extension
    void (*paint)(QPainter &painter, int side);  // draws into a side x side square
};

const std::vector<AppIcon> &appIcons();
// The square sizes an icon theme gets as bitmaps, smallest first.
const std::vector<int> &iconSizes();

QImage renderIcon(const AppIcon &icon, int side);
// Writes the icon as scalable vector graphics; false with a problem noted on failure.
bool writeSvgIcon(const AppIcon &icon, const QString &path, QStringList &problems);

// A bitmap icon: exact size, see-through corners, something solid in the middle.
QStringList checkIconPicture(const QImage &image, QSize expected);

}  // namespace tileart
