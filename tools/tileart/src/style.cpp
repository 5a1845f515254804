#include "style.h"

namespace tileart {

namespace {

const QColor kNone(Qt::transparent);

Style makeClassic()
{
    Style s;
    s.name = QStringLiteral("classic");
    s.faceTop = QColor(0xff, 0xfb, 0xf0);
    s.faceBottom = QColor(0xee, 0xe0, 0xc2);
    s.faceEdge = QColor(0x8a, 0x76, 0x52);
    s.faceEdgeWidth = 6;
    s.cornerRadius = 26;
    s.frameColour = QColor(0xcf, 0xbc, 0x90);
    s.frameInset = 18;
    s.frameWidth = 3;
    s.facePatch = kNone;
    s.body = {{0.55, QColor(0xf0, 0xd2, 0x96)}, {1.0, QColor(0x2f, 0x8c, 0x5e)}};
    s.bodyEdge = QColor(0x4a, 0x3c, 0x24);
    s.bodyEdgeWidth = 3;
    s.sideShade = 170;
    s.bottomShade = 240;
    s.backShade = 140;
    s.crease = QColor(0x5a, 0x48, 0x2c);
    s.creaseWidth = 16;
    s.ink = Ink{QColor(0xb8, 0x1c, 0x22), QColor(0x17, 0x74, 0x3a), QColor(0x1b, 0x3e, 0x96),
                QColor(0x1a, 0x1a, 0x22), QColor(0xd9, 0x8a, 0x0b), QColor(0xe0, 0x5a, 0x86),
                QColor(0x74, 0x3a, 0x9c), QColor(0x7a, 0x4a, 0x22)};
    s.flat = false;
    s.outline = kNone;
    s.outlineWidth = 0;
    s.strokeScale = 0.8;
    s.wobble = 0;
    s.nib = 0.7;
    s.skew = 0;
    s.nodeGaps = false;
    s.coinHole = 0.72;
    s.coinCore = 0.46;
    s.fontFamily = QStringLiteral("DejaVu Serif");
    s.italic = false;
    s.highlightTint = QColor(255, 196, 0, 95);
    s.highlightFrame = QColor(0xe8, 0x6a, 0x00);
    s.highlightFrameWidth = 26;
    return s;
}

Style makeModern()
{
    Style s;
    s.name = QStringLiteral("modern");
    s.faceTop = QColor(Qt::white);
    s.faceBottom = QColor(Qt::white);
    s.faceEdge = QColor(0x8a, 0x9c, 0xa6);
    s.faceEdgeWidth = 6;
    s.cornerRadius = 30;
    s.frameColour = kNone;
    s.frameInset = 0;
    s.frameWidth = 0;
    s.facePatch = kNone;
    s.body = {{1.0, QColor(0x00, 0x8a, 0x99)}};
    s.bodyEdge = QColor(0x00, 0x60, 0x64);
    s.bodyEdgeWidth = 2;
    s.sideShade = 160;
    s.bottomShade = 240;
    s.backShade = 140;
    s.crease = QColor(0x1c, 0x3a, 0x44);
    s.creaseWidth = 16;
    s.ink = Ink{QColor(0xe5, 0x39, 0x35), QColor(0x2e, 0xa0, 0x4a), QColor(0x1e, 0x78, 0xe5),
                QColor(0x26, 0x32, 0x38), QColor(0xff, 0x9f, 0x00), QColor(0xf0, 0x62, 0x92),
                QColor(0x8e, 0x44, 0xd0), QColor(0x8d, 0x5b, 0x3a)};
    s.flat = true;
    s.outline = kNone;
    s.outlineWidth = 0;
    s.strokeScale = 1.05;
    s.wobble = 0;
    s.nib = 0;
    s.skew = 0;
    s.nodeGaps = true;
    s.coinHole = 0.64;
    s.coinCore = 0.5;
    s.fontFamily = QStringLiteral("DejaVu Sans");
    s.italic = false;
    s.highlightTint = QColor(0, 170, 255, 70);
    s.highlightFrame = QColor(0x00, 0x8c, 0xff);
    s.highlightFrameWidth = 28;
    return s;
}

Style makePicasso()
{
    Style s;
    s.name = QStringLiteral("picasso");
    s.faceTop = QColor(0xfb, 0xea, 0xc0);
    s.faceBottom = QColor(0xf3, 0xd9, 0xa4);
    s.faceEdge = QColor(0x1b, 0x16, 0x30);
    s.faceEdgeWidth = 13;
    s.cornerRadius = 24;
    s.frameColour = kNone;
    s.frameInset = 0;
    s.frameWidth = 0;
    s.facePatch = QColor(0xa8, 0xdc, 0xd1);
    s.body = {{0.45, QColor(0xff, 0x45, 0x96)}, {1.0, QColor(0x38, 0x52, 0xe0)}};
    s.bodyEdge = QColor(0x1b, 0x16, 0x30);
    s.bodyEdgeWidth = 9;
    s.sideShade = 140;
    s.bottomShade = 205;
    s.backShade = 140;
    s.crease = QColor(0x1b, 0x16, 0x30);
    s.creaseWidth = 16;
    s.ink = Ink{QColor(0xe8, 0x3a, 0x14), QColor(0x0b, 0x8a, 0x5c), QColor(0x23, 0x4b, 0xd8),
                QColor(0x1b, 0x16, 0x30), QColor(0xff, 0xb3, 0x00), QColor(0xff, 0x6f, 0xa8),
                QColor(0x8a, 0x2b, 0xc2), QColor(0x9a, 0x55, 0x1c)};
    s.flat = true;
    s.outline = QColor(0x1b, 0x16, 0x30);
    s.outlineWidth = 9;
    s.strokeScale = 1.1;
    s.wobble = 1.0;
    s.nib = 0;
    s.skew = -0.07;
    s.nodeGaps = false;
    s.coinHole = 0.7;
    s.coinCore = 0.42;
    s.fontFamily = QStringLiteral("DejaVu Sans");
    s.italic = true;
    s.highlightTint = QColor(255, 40, 160, 80);
    s.highlightFrame = QColor(0xff, 0x1f, 0x8f);
    s.highlightFrameWidth = 28;
    return s;
}

}  // namespace

const Style &classicStyle()
{
    static const Style style = makeClassic();
    return style;
}

const Style &modernStyle()
{
    static const Style style = makeModern();
    return style;
}

const Style &picassoStyle()
{
    static const Style style = makePicasso();
    return style;
}

const std::vector<const Style *> &allStyles()
{
    static const std::vector<const Style *> styles{&classicStyle(), &modernStyle(), &picassoStyle()};
    return styles;
}

}  // namespace tileart
