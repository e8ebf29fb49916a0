#include "buttoncolours.h"

#include <algorithm>

namespace corvane {
namespace {

QRgb paletteColour(const QPalette& palette, QPalette::ColorRole role) {
    return palette.color(QPalette::Active, role).rgb();
}

QRgb systemColour(int index, const QPalette& palette) {
    switch (index) {
        case 5:
            return paletteColour(palette, QPalette::Base);
        case 8:
            return paletteColour(palette, QPalette::WindowText);
        case 13:
            return paletteColour(palette, QPalette::Highlight);
        case 14:
            return paletteColour(palette, QPalette::HighlightedText);
        case 16:
            return paletteColour(palette, QPalette::Dark);
        case 18:
            return paletteColour(palette, QPalette::ButtonText);
        case 20:
            return paletteColour(palette, QPalette::Light);
        case 21:
            return paletteColour(palette, QPalette::Shadow);
        case 22:
            return paletteColour(palette, QPalette::Midlight);
        case 15:
        default:
            return paletteColour(palette, QPalette::Button);
    }
}

int clampChannel(int value, int delta) {
    return delta > 0 ? std::min(value, 255) : std::max(value, 0);
}

}  // namespace

QRgb translateColour(OleColor colour, const QPalette& palette) {
    if (colour & 0x80000000u) {
        return systemColour(static_cast<int>(colour & 0xFF), palette);
    }
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

OleColor toOleColor(QRgb colour) {
    return oleRgb(qRed(colour), qGreen(colour), qBlue(colour));
}

QRgb shiftColour(QRgb colour, int delta, bool scaleBlue, bool softBevel) {
    if (softBevel) {
        delta /= 2;
    }
    const int blue = qBlue(colour);
    const int blueDelta = scaleBlue ? delta * blue / 192 : delta;
    return qRgb(clampChannel(qRed(colour) + delta, delta),
                clampChannel(qGreen(colour) + delta, delta), clampChannel(blue + blueDelta, delta));
}

QRgb blendToWhite(QRgb colour, int amount) {
    auto blend = [amount](int c) { return std::min(255, amount + c * (255 - amount) / 255); };
    return qRgb(blend(qRed(colour)), blend(qGreen(colour)), blend(qBlue(colour)));
}

ButtonColours deriveColours(const ColourInputs& in, const QPalette& palette,
                            const QPalette& parentPalette, bool hovered) {
    ButtonColours c{};
    auto shift = [&](QRgb colour, int delta) {
        return shiftColour(colour, delta, false, in.softBevel);
    };
    auto fromFace = [&] {
        c.shadow = shift(c.face, -64);
        c.light = shift(c.face, 31);
        c.highlight = shift(c.face, 47);
        c.darkShadow = shift(c.face, -192);
    };
    switch (in.scheme) {
        case 2:
            c.face = translateColour(in.backColor, palette);
            c.faceOver = translateColour(in.backOver, palette);
            c.text = translateColour(in.foreColor, palette);
            c.textOver = translateColour(in.foreOver, palette);
            if (hovered) {
                c.face = c.faceOver;
            }
            fromFace();
            c.select = shift(c.face, -128);
            c.selectLight = c.face;
            break;
        case 3:
            c.face = c.faceOver = qRgb(192, 192, 192);
            c.text = c.textOver = qRgb(0, 0, 0);
            c.shadow = qRgb(128, 128, 128);
            c.light = qRgb(223, 223, 223);
            c.highlight = qRgb(255, 255, 255);
            c.darkShadow = qRgb(0, 0, 0);
            c.select = qRgb(0, 0, 128);
            c.selectLight = qRgb(173, 173, 209);
            break;
        case 4:
            c.face = c.faceOver = paletteColour(parentPalette, QPalette::Window);
            c.text = c.textOver = paletteColour(parentPalette, QPalette::WindowText);
            fromFace();
            c.select = translateColour(kSysHighlight, palette);
            c.selectLight = blendToWhite(c.select, 176);
            break;
        default:
            c.face = c.faceOver = translateColour(kSysButtonFace, palette);
            c.text = c.textOver = translateColour(kSysButtonText, palette);
            c.shadow = translateColour(kSysButtonShadow, palette);
            c.light = translateColour(kSys3DLight, palette);
            c.highlight = translateColour(kSysButtonHighlight, palette);
            c.darkShadow = translateColour(kSys3DDarkShadow, palette);
            c.select = translateColour(kSysHighlight, palette);
            c.selectLight = blendToWhite(c.select, 176);
            break;
    }
    c.mask = translateColour(in.maskColor, palette);
    c.blueLight = shiftColour(c.face, 48, in.buttonType == ButtonType::SeeAll, in.softBevel);
    return c;
}

}  // namespace corvane
