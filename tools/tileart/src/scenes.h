#pragma once

#include <QImage>
#include <QSize>

namespace tileart {

enum class TitleVariant { Splash, About };

// Title picture: tiles on a jade disc beside the game's name. The top-left
// corner and a strip along the bottom left stay plain paper for run-time text.
QImage renderTitlePicture(QSize size, TitleVariant variant);
// Stand-in picture for a layout the player designs.
QImage renderUserLayoutPreview(QSize size);
// Every kind of every style at in-game sizes, plain, selected and stacked,
// for checking legibility by eye.
QImage renderContactSheet();

}  // namespace tileart
