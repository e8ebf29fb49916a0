#pragma once

// The colours a button draws with, derived from its colour properties.
//
// Colours are stored the way the saved layouts hold them: 32-bit values
// 0x00BBGGRR (red in the low byte). A value with the high bit set,
// 0x800000NN, refers to system colour NN and follows the desktop's palette.

#include <QPalette>
#include <QRgb>

namespace corvane {

// The drawing styles a button's ButtonType names. The stored designs (the
// BTYPE key) and the ButtonType property keep the numbers; every other
// number draws as Standard.
enum class ButtonType : int {
    Standard = 2,  // a shaded face, the default
    SeeAll = 3,    // the See-All button: a blue shaded face in a dark rounded frame
    Picture = 11,  // the picture buttons: no face of their own, a frame while hovered or pressed
    Dialog = 14,   // the dialogs' captioned buttons: a light face in a double frame
};

using OleColor = quint32;

// System colour references, as the saved layouts write them.
inline constexpr OleColor kSysHighlight = 0x8000000D;
inline constexpr OleColor kSysWindow = 0x80000005;
inline constexpr OleColor kSysWindowText = 0x80000008;
inline constexpr OleColor kSysButtonFace = 0x8000000F;
inline constexpr OleColor kSysButtonShadow = 0x80000010;
inline constexpr OleColor kSysButtonText = 0x80000012;
inline constexpr OleColor kSysButtonHighlight = 0x80000014;
inline constexpr OleColor kSys3DDarkShadow = 0x80000015;
inline constexpr OleColor kSys3DLight = 0x80000016;

// A plain 0x00BBGGRR value from red, green and blue.
constexpr OleColor oleRgb(int r, int g, int b) {
    return static_cast<OleColor>(r | (g << 8) | (b << 16));
}

// The plain colour of `colour`, looking system references up in `palette`.
QRgb translateColour(OleColor colour, const QPalette& palette);
// A plain colour as a stored value.
OleColor toOleColor(QRgb colour);

// Brightens (delta > 0) or darkens (delta < 0) every channel by `delta`;
// `softBevel` halves delta first. With `scaleBlue` the blue channel moves by
// delta * blue / 192 instead. Channels stop at 255 going up and at 0 going
// down; they never wrap.
QRgb shiftColour(QRgb colour, int delta, bool scaleBlue, bool softBevel);

// Mixes `amount` (0 to 255) of white into every channel.
QRgb blendToWhite(QRgb colour, int amount);

struct ButtonColours {
    QRgb face, faceOver, text, textOver;
    QRgb light, highlight, shadow, darkShadow;
    QRgb select, selectLight, mask, blueLight;
};

// What the colour set is derived from.
struct ColourInputs {
    int scheme = 1;  // ColorScheme: 1 system, 2 own colours, 3 classic grey, 4 the parent's
    OleColor backColor = kSysButtonFace, backOver = kSysButtonFace;
    OleColor foreColor = kSysButtonText, foreOver = kSysButtonText;
    OleColor maskColor = 0xC0C0C0;
    ButtonType buttonType = ButtonType::Standard;
    bool softBevel = false;
};

// The colour set for `inputs`, with system colours from `palette` and the
// parent window's colours from `parentPalette`. `hovered` makes scheme 2 use
// its over-colour as the face, and derive the tones from it.
ButtonColours deriveColours(const ColourInputs& inputs, const QPalette& palette,
                            const QPalette& parentPalette, bool hovered = false);

}  // namespace corvane
