// How an OrielButton paints itself. Every drawing goes to the button's face
// image, which the paint event only copies to the screen; so a redraw that is
// skipped costs nothing, and what a button shows can be read pixel by pixel.

#include <QPainter>
#include <cmath>

#include "orielbutton.h"

namespace corvane {
namespace {

// One pixel wide outline of the rectangle, as the frames of the designs are.
void outline(QPainter& p, const QRect& r, QRgb colour) {
    if (r.width() <= 0 || r.height() <= 0) {
        return;
    }
    const QColor c = QColor::fromRgb(colour);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void hline(QPainter& p, int x1, int x2, int y, QRgb colour) {
    if (x2 >= x1) {
        p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), QColor::fromRgb(colour));
    }
}

void vline(QPainter& p, int x, int y1, int y2, QRgb colour) {
    if (y2 >= y1) {
        p.fillRect(QRect(x, y1, 1, y2 - y1 + 1), QColor::fromRgb(colour));
    }
}

void pixel(QPainter& p, int x, int y, QRgb colour) {
    p.fillRect(QRect(x, y, 1, 1), QColor::fromRgb(colour));
}

// The shading step of row `row` (1-based) of `height` rows down to `depth`:
// computed in single precision and rounded half to even, as the design has it.
int shadingStep(int row, int height, int depth) {
    const float exact =
        static_cast<float>(row) * static_cast<float>(depth) / static_cast<float>(height);
    return static_cast<int>(std::nearbyintf(exact));
}

// The two-pixel inner edge of style 3: an outer ring just inside the frame
// and an inner ring inside that, each side in its own tone.
struct EdgeTones {
    QRgb outerTop, innerTop, outerLeft, innerLeft, outerBottom, innerBottom, outerRight, innerRight;
};

void drawInnerEdge(QPainter& p, int w, int h, const EdgeTones& t) {
    hline(p, 2, w - 3, 1, t.outerTop);
    hline(p, 2, w - 3, h - 2, t.outerBottom);
    vline(p, 1, 2, h - 3, t.outerLeft);
    vline(p, w - 2, 2, h - 3, t.outerRight);
    hline(p, 2, w - 3, 2, t.innerTop);
    hline(p, 2, w - 3, h - 3, t.innerBottom);
    vline(p, 2, 3, h - 4, t.innerLeft);
    vline(p, w - 3, 3, h - 4, t.innerRight);
}

// Five tones of a glow, lightest at the top and darkest at the bottom.
EdgeTones glow(QRgb t0, QRgb t1, QRgb t2, QRgb t3, QRgb t4) {
    return {t2, t3, t0, t4, t1, t0, t0, t4};
}

}  // namespace

void OrielButton::DrawButton(int state, bool force) {
    if (m_checkBoxBehaviour && m_value) {
        state = kPressed;
    }
    if (!force && m_drawnOnce && state == m_lastState && m_caption == m_lastCaption) {
        return;
    }
    // A hidden widget learns of a new size only when it is shown; drawing
    // must not wait for that.
    if (m_size != size() && !m_capturing) {
        updateGeometryState();
    }
    if (m_size.width() <= 0 || m_size.height() <= 0 || !m_shown) {
        return;
    }
    m_lastState = state;
    m_lastCaption = m_caption;
    m_drawnOnce = true;
    ++m_drawCount;

    // Colour scheme 2 shows its over-colour as the face while hovered.
    const ButtonColours saved = m_colours;
    if (m_colorScheme == 2 && m_hovering) {
        m_colours = deriveColours(colourInputs(), palette(), palette(), true);
    }

    m_face = QImage(m_size, QImage::Format_RGB32);
    {
        QPainter p(&m_face);
        p.fillRect(m_face.rect(), QColor::fromRgb(m_colours.face));
        const bool enabled = isEnabled();
        switch (m_buttonType) {
            case ButtonType::SeeAll:
                drawStyle3(p, enabled ? state : -1);
                break;
            case ButtonType::Picture:
                drawStyle11(p, enabled ? state : -1);
                break;
            case ButtonType::Dialog:
                drawStyle14(p, enabled ? state : -1);
                break;
            default:
                drawGeneric(p, enabled ? state : -1);
                break;
        }
        if (!enabled) {
            DrawPictureAndCaption(p, 2);
        }
        DrawFocusRect(p);
    }
    m_colours = saved;
    update();
}

// Style 3, the See-All button: a blue shaded face in a dark rounded frame.
// `state` is kUp, kPressed, or -1 for disabled.
void OrielButton::drawStyle3(QPainter& p, int state) {
    const int w = m_size.width();
    const int h = m_size.height();
    const ButtonColours& c = m_colours;
    auto shift = [this](QRgb colour, int delta) {
        return shiftColour(colour, delta, true, m_softBevel);
    };
    if (state < 0) {
        p.fillRect(0, 0, w, h, QColor::fromRgb(shift(c.blueLight, -24)));
        DrawCaption(p, 4);
        outline(p, QRect(0, 0, w, h), shift(c.blueLight, -84));
        const QRgb corner = shift(c.blueLight, -72);
        for (const QPoint& at :
             {QPoint(1, 1), QPoint(1, h - 2), QPoint(w - 2, 1), QPoint(w - 2, h - 2)}) {
            pixel(p, at.x(), at.y(), corner);
        }
        return;
    }
    const bool pressed = state == kPressed;
    const QRgb base = pressed ? shift(c.blueLight, -32) : c.blueLight;
    drawShading(p, base, 25, pressed, true);
    outline(p, QRect(0, 0, w, h), qRgb(0, 60, 115));
    const QRgb corner = qRgb(16, 77, 123);
    for (const QPoint& at :
         {QPoint(1, 1), QPoint(w - 2, 1), QPoint(1, h - 2), QPoint(w - 2, h - 2)}) {
        pixel(p, at.x(), at.y(), corner);
    }
    if (pressed) {
        // Sunken: dark above and to the left, light below and to the right.
        drawInnerEdge(p, w, h,
                      {shift(base, -32), shift(base, -24), shift(base, -32), shift(base, -22),
                       shift(base, 16), shift(base, 10), shift(base, 5), shift(base, 5)});
        DrawPictureAndCaption(p, 1);
        return;
    }
    if (m_hovering) {
        drawInnerEdge(p, w, h,
                      glow(qRgb(255, 178, 49), qRgb(231, 150, 0), qRgb(255, 243, 206),
                           qRgb(255, 219, 140), qRgb(255, 203, 107)));
    } else if ((m_hasFocus || m_defaultRole) && m_showFocusRect) {
        drawInnerEdge(p, w, h,
                      glow(qRgb(140, 174, 231), qRgb(107, 130, 239), qRgb(206, 231, 255),
                           qRgb(189, 215, 247), qRgb(181, 209, 240)));
    } else {
        drawInnerEdge(p, w, h,
                      {shift(base, 16), shift(base, 10), shift(base, -5), shift(base, -10),
                       shift(base, -48), shift(base, -32), shift(base, -36), shift(base, -24)});
    }
    DrawPictureAndCaption(p, 0);
}

// Style 11, the picture buttons: no face of their own, a raised frame while
// hovered and a sunken one while pressed.
void OrielButton::drawStyle11(QPainter& p, int state) {
    const int w = m_size.width();
    const int h = m_size.height();
    const ButtonColours& c = m_colours;
    if (!m_background.isNull()) {
        p.drawImage(0, 0, m_background);
    }
    auto frame = [&](QRgb topLeft, QRgb bottomRight) {
        for (int i = 0; i < 2; ++i) {
            hline(p, i, w - 1 - i, i, topLeft);
            vline(p, i, i, h - 1 - i, topLeft);
            hline(p, i, w - 1 - i, h - 1 - i, bottomRight);
            vline(p, w - 1 - i, i, h - 1 - i, bottomRight);
        }
    };
    if (state < 0) {
        DrawCaption(p, 3);
    } else if (state == kPressed) {
        frame(c.shadow, c.highlight);
        DrawCaption(p, 5);
        DrawPictureAndCaption(p, 1);
    } else {
        if (m_hovering) {
            frame(c.highlight, c.shadow);
        }
        DrawPictureAndCaption(p, 0);
    }
}

// Style 14, the captioned buttons of the dialogs: a light shaded face with a
// double frame and a bright band along the top and the left.
void OrielButton::drawStyle14(QPainter& p, int state) {
    const int w = m_size.width();
    const int h = m_size.height();
    const ButtonColours& c = m_colours;
    auto shift = [this](QRgb colour, int delta) {
        return shiftColour(colour, delta, false, m_softBevel);
    };
    auto frames = [&] {
        outline(p, QRect(0, 0, w, h), shift(c.shadow, -50));
        outline(p, QRect(1, 1, w - 2, h - 2), shift(c.face, -9));
        p.fillRect(QRect(2, 2, w - 4, 2), QColor::fromRgb(c.highlight));
        p.fillRect(QRect(2, 4, 2, h - 6), QColor::fromRgb(c.highlight));
    };
    if (state == kPressed) {
        p.fillRect(QRect(1, 1, w, h), QColor::fromRgb(shift(c.face, -9)));
        outline(p, QRect(0, 0, w, h), shift(c.shadow, -48));
        hline(p, 1, w - 2, h - 2, c.highlight);
        vline(p, w - 2, 1, h - 2, c.highlight);
        DrawCaption(p, 5);
        DrawFocusRect(p);
        DrawPictureAndCaption(p, 1);
        return;
    }
    if (state == kUp && m_hovering) {
        p.fillRect(QRect(0, 0, w, h), QColor::fromRgb(c.light));
    } else {
        drawShading(p, c.highlight, 58, false, false);
    }
    frames();
    if (state < 0) {
        DrawCaption(p, 3);
        return;
    }
    DrawFocusRect(p);
    // A dialog's default button shows its caption in bold while it is up.
    m_boldCaption = m_defaultRole;
    DrawPictureAndCaption(p, 0);
    m_boldCaption = false;
}

// The styles the program's windows do not use: a plain bevelled button.
void OrielButton::drawGeneric(QPainter& p, int state) {
    const int w = m_size.width();
    const int h = m_size.height();
    const ButtonColours& c = m_colours;
    if (state < 0) {
        outline(p, QRect(0, 0, w, h), c.shadow);
        DrawCaption(p, 3);
        return;
    }
    const bool pressed = state == kPressed;
    const QRgb topLeft = pressed ? c.darkShadow : c.highlight;
    const QRgb bottomRight = pressed ? c.highlight : c.darkShadow;
    const QRgb inner = pressed ? c.shadow : c.light;
    const QRgb innerBottomRight = pressed ? c.light : c.shadow;
    hline(p, 0, w - 1, 0, topLeft);
    vline(p, 0, 0, h - 1, topLeft);
    hline(p, 0, w - 1, h - 1, bottomRight);
    vline(p, w - 1, 0, h - 1, bottomRight);
    hline(p, 1, w - 2, 1, inner);
    vline(p, 1, 1, h - 2, inner);
    hline(p, 1, w - 2, h - 2, innerBottomRight);
    vline(p, w - 2, 1, h - 2, innerBottomRight);
    DrawPictureAndCaption(p, pressed ? 1 : 0);
}

// Rows shaded from `from` down by `depth` steps: lightest at the top, or at
// the bottom when `mirrored`.
void OrielButton::drawShading(QPainter& p, QRgb from, int depth, bool mirrored, bool scaleBlue) {
    const int h = m_size.height();
    for (int i = 1; i <= h; ++i) {
        const int y = mirrored ? h - i : i - 1;
        const QRgb colour = shiftColour(from, -shadingStep(i, h, depth), scaleBlue, m_softBevel);
        p.fillRect(QRect(0, y, m_size.width(), 1), QColor::fromRgb(colour));
    }
}

void OrielButton::DrawCaption(QPainter& p, int mode) {
    if (m_caption.isEmpty()) {
        return;
    }
    const ButtonColours& c = m_colours;
    QFont captionFont = font();
    if (m_boldCaption) {
        captionFont.setBold(true);
    }
    p.setFont(captionFont);
    const int flags = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignHCenter | Qt::AlignTop |
                      Qt::TextDontClip;
    auto draw = [&](const QRect& r, QRgb colour) {
        p.setPen(QColor::fromRgb(colour));
        // A little room on both sides, so a bolder face wraps as it was measured.
        p.drawText(r.adjusted(-8, 0, 8, 0), flags, m_caption);
    };
    const QRect& normal = m_captionLayout.normal;
    const QRect& pressed = m_captionLayout.pressed;
    switch (mode) {
        case 1:
            draw(normal, c.textOver);
            break;
        case 2:
            draw(pressed, c.textOver);
            break;
        case 3:
            draw(pressed, c.highlight);
            draw(normal, c.shadow);
            break;
        case 4:
            draw(normal, shiftColour(c.blueLight, -104, true, m_softBevel));
            break;
        case 5:
            draw(pressed, shiftColour(c.shadow, -50, false, m_softBevel));
            draw(normal, c.highlight);
            break;
        default:
            draw(normal, c.text);
            break;
    }
}

// The picture and the caption for `state`: 0 up, 1 pressed (moved one pixel
// down and right), 2 disabled.
void OrielButton::DrawPictureAndCaption(QPainter& p, int state) {
    const QPixmap& picture =
        (m_hovering && !m_pictureOver.isNull()) ? m_pictureOver : m_pictureNormal;
    if (!picture.isNull()) {
        const bool grey = state == 2 || (m_useGreyscale && !m_hovering);
        QPoint at = corvane::picturePosition(m_picturePosition, m_size, picture.size(),
                                             !m_caption.isEmpty());
        if (state == 1) {
            at += QPoint(1, 1);
        }
        p.drawImage(at, preparedPicture(picture, grey));
    }
    switch (state) {
        case 1:
            DrawCaption(p, 2);
            break;
        case 2:
            DrawCaption(p, 3);
            break;
        default:
            if (m_specialEffect == 1) {
                DrawCaption(p, 5);
            }
            DrawCaption(p, m_specialEffect == 2 ? 3 : (m_hovering ? 1 : 0));
            break;
    }
}

// The picture with the mask colour made transparent, and in grey tones
// when asked.
QImage OrielButton::preparedPicture(const QPixmap& picture, bool grey) const {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = m_colours.mask & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            if (m_useMaskColor && (px & 0xFFFFFF) == mask) {
                line[x] = 0;
            } else if (grey) {
                const int g =
                    static_cast<int>(0.30 * qRed(px) + 0.59 * qGreen(px) + 0.11 * qBlue(px));
                line[x] = qRgba(g, g, g, qAlpha(px));
            }
        }
    }
    return image;
}

void OrielButton::DrawFocusRect(QPainter& p) {
    if (!m_showFocusRect || !m_hasFocus || m_focusRect.width() <= 0 || m_focusRect.height() <= 0) {
        return;
    }
    // The desktop's dotted focus rectangle: every other pixel of the outline.
    const QColor colour = QColor::fromRgb(m_colours.text);
    const QRect& r = m_focusRect;
    for (int x = r.left(); x <= r.right(); x += 2) {
        p.fillRect(QRect(x, r.top(), 1, 1), colour);
        p.fillRect(QRect(x, r.bottom(), 1, 1), colour);
    }
    for (int y = r.top(); y <= r.bottom(); y += 2) {
        p.fillRect(QRect(r.left(), y, 1, 1), colour);
        p.fillRect(QRect(r.right(), y, 1, 1), colour);
    }
}

}  // namespace corvane
