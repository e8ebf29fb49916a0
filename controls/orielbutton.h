#pragma once

// OrielButton: the program's own push button. It draws itself in one of
// several styles (3, 11 and 14 are the program's), shows a hover look, can
// carry a picture beside its caption, can act as a toggle, and keeps its
// settings in a property bag under the keys of the saved window layouts.
//
// Windows use it as a button: they set Caption and Enabled, show, hide and
// focus it, and connect to Click. A window may give one button the default
// role (Enter) and one the cancel role (Esc).

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

#include "buttoncolours.h"
#include "buttonlayout.h"

namespace corvane {

class OrielButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 BackOver READ backOver WRITE setBackOver)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(quint32 ForeOver READ foreOver WRITE setForeOver)
    Q_PROPERTY(quint32 MaskColor READ maskColor WRITE setMaskColor)
    Q_PROPERTY(int ButtonType READ buttonType WRITE setButtonType)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(int ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(qint16 MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(QPixmap MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(qulonglong hwnd READ hwnd)
    Q_PROPERTY(bool SoftBevel READ softBevel WRITE setSoftBevel)
    Q_PROPERTY(QPixmap PictureNormal READ pictureNormal WRITE setPictureNormal)
    Q_PROPERTY(QPixmap PictureOver READ pictureOver WRITE setPictureOver)
    Q_PROPERTY(int PicturePosition READ picturePosition WRITE setPicturePosition)
    Q_PROPERTY(bool UseMaskColor READ useMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(bool UseGreyscale READ useGreyscale WRITE setUseGreyscale)
    Q_PROPERTY(int SpecialEffect READ specialEffect WRITE setSpecialEffect)
    Q_PROPERTY(bool CheckBoxBehaviour READ checkBoxBehaviour WRITE setCheckBoxBehaviour)
    Q_PROPERTY(bool Value READ value WRITE setValue)
    Q_PROPERTY(QString Version READ version)

  public:
    // Drawn states.
    static constexpr int kUp = 0;
    static constexpr int kPressed = 2;

    // Mouse buttons and shift states as the events report them.
    static constexpr short kLeftButton = 1;
    static constexpr short kRightButton = 2;
    static constexpr short kMiddleButton = 4;

    // A button as read from an empty saved layout: every property at the
    // layout's default (style 2, colour scheme 1, system colours).
    explicit OrielButton(QWidget* parent = nullptr);

    // A button as first placed on a window: style 14, colour scheme 2, its
    // colours the computed face and text colours, caption `caption`.
    static OrielButton* createNew(const QString& caption, QWidget* parent);

    // The saved layout. Reading takes every key with its default; writing
    // leaves out every value equal to its default.
    void readProperties(const QVariantMap& bag);
    QVariantMap writeProperties() const;

    // The properties of the saved layout (see the Q_PROPERTY list). Every
    // setter redraws the button in its last drawn state; those that change
    // its colours or its layout compute them again first.

    // The face's colour at rest and under the pointer (colour scheme 2).
    OleColor backColor() const { return m_backColor; }
    void setBackColor(OleColor colour);
    OleColor backOver() const { return m_backOver; }
    void setBackOver(OleColor colour);
    // The caption's colour at rest and under the pointer.
    OleColor foreColor() const { return m_foreColor; }
    void setForeColor(OleColor colour);
    OleColor foreOver() const { return m_foreOver; }
    void setForeOver(OleColor colour);
    // The colour of a picture's pixels that are drawn transparent (see useMaskColor).
    OleColor maskColor() const { return m_maskColor; }
    void setMaskColor(OleColor colour);
    // The drawing style's number (ButtonType); setting it shapes the window
    // again, and the Picture style captures the background behind it.
    int buttonType() const { return static_cast<int>(m_buttonType); }
    void setButtonType(int type);
    // The caption, with "&" before the access key; setting it finds the key
    // and lays the caption out again.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The caption font's parts; each setter changes that part only.
    bool fontBold() const { return font().bold(); }
    void setFontBold(bool on);
    bool fontItalic() const { return font().italic(); }
    void setFontItalic(bool on);
    bool fontUnderline() const { return font().underline(); }
    void setFontUnderline(bool on);
    double fontSize() const { return font().pointSizeF(); }
    void setFontSize(double points);
    QString fontName() const { return font().family(); }
    void setFontName(const QString& family);
    // Which colours the face takes: 2 the button's own (backColor, foreColor,
    // ...), 3 a fixed grey, 4 the system's with its highlight, others the system's.
    int colorScheme() const { return m_colorScheme; }
    void setColorScheme(int scheme);
    // Whether the dotted focus rectangle is drawn while the button has the focus.
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on);
    // The pointer shown over the button (99: mouseIcon); applied at once.
    qint16 mousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 pointer);
    QPixmap mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon);
    // The native window's id, for whoever asks for the old handle.
    qulonglong hwnd() const { return static_cast<qulonglong>(winId()); }
    // Whether the bevel's light edges are softened.
    bool softBevel() const { return m_softBevel; }
    void setSoftBevel(bool on);
    // The picture at rest and under the pointer (none: the rest picture).
    QPixmap pictureNormal() const { return m_pictureNormal; }
    void setPictureNormal(const QPixmap& picture);
    QPixmap pictureOver() const { return m_pictureOver; }
    void setPictureOver(const QPixmap& picture);
    // Where the picture stands beside the caption; setting it lays them out again.
    int picturePosition() const { return m_picturePosition; }
    void setPicturePosition(int position);
    // Whether the mask colour's pixels of the picture are left out.
    bool useMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool on);
    // Whether the picture is drawn in grey while the pointer is not over it
    // (a disabled button's always is).
    bool useGreyscale() const { return m_useGreyscale; }
    void setUseGreyscale(bool on);
    // How the caption is drawn: 0 plain, 1 with a shadow below it, 2 engraved.
    int specialEffect() const { return m_specialEffect; }
    void setSpecialEffect(int effect);
    // Whether a click toggles value() and the button stays pressed while it is set.
    bool checkBoxBehaviour() const { return m_checkBoxBehaviour; }
    void setCheckBoxBehaviour(bool on);
    bool value() const { return m_value; }
    void setValue(bool on);
    // The control's version text, as the saved designs know it.
    QString version() const { return QStringLiteral("w2005.08.15"); }

    // The window's default button answers Enter, its cancel button Esc,
    // from anywhere in the window that does not use the key itself.
    bool isDefaultButton() const { return m_defaultRole; }
    void setDefaultButton(bool on);
    bool isCancelButton() const { return m_cancelRole; }
    void setCancelButton(bool on);

    // Captures the background again (style 11), recomputes colours and
    // layout, and redraws the last drawn state.
    void Refresh();

    // Redraws in `state` (kUp or kPressed). Unless `force`, a request with
    // the caption and state last drawn is skipped.
    void DrawButton(int state, bool force);

    // What the button looks like now, and how often it has been drawn.
    const QImage& face() const { return m_face; }
    int drawCount() const { return m_drawCount; }
    // The caption's access key (the letter after "&"), or a null character.
    QChar accessKey() const { return m_accessKey; }
    // Whether the pointer is over the button (the hover timer runs).
    bool isHovering() const { return m_hovering; }
    // The colours and the caption layout computed last.
    const ButtonColours& colours() const { return m_colours; }
    const CaptionLayout& captionLayout() const { return m_captionLayout; }

  signals:
    // A click: the left button released over the button, its access key,
    // Space, or Enter or Esc for the window's default or cancel button.
    void Click();
    // The mouse and the keyboard as the design's events report them.
    void MouseDown(short button, short shift, float x, float y);
    void MouseMove(short button, short shift, float x, float y);
    void MouseUp(short button, short shift, float x, float y);
    void KeyPress(short keyAscii);
    void KeyDown(short keyCode, short shift);
    void KeyUp(short keyCode, short shift);
    // Raised on movement over the button while the hover timer is not running.
    void MouseIn();
    // Raised when hovering begins with no button down.
    void MouseOver();
    void MouseOut();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    friend class ButtonRoles;

    void clickFromSurface();
    void pointerLeft();
    void OverTimer_Timer();
    bool pointerIsOver(QPoint local) const;
    ColourInputs colourInputs() const;
    void recomputeColours();
    void recomputeLayout();
    void recomputeAccessKey();
    void handleResize();
    void updateGeometryState();
    void captureBackground();
    void applyCursor();
    void updateAccessibleName();
    float toContainerUnits(qreal pixels, bool vertical) const;

    // Drawing (orielbuttondraw.cpp).
    void drawStyle3(class QPainter& p, int state);
    void drawStyle11(QPainter& p, int state);
    void drawStyle14(QPainter& p, int state);
    void drawGeneric(QPainter& p, int state);
    void DrawCaption(QPainter& p, int mode);
    void DrawPictureAndCaption(QPainter& p, int state);
    void DrawFocusRect(QPainter& p);
    void drawShading(QPainter& p, QRgb from, int depth, bool mirrored, bool scaleBlue);
    QImage preparedPicture(const QPixmap& picture, bool grey) const;

    OleColor m_backColor = kSysButtonFace;
    OleColor m_backOver = kSysButtonFace;
    OleColor m_foreColor = kSysButtonText;
    OleColor m_foreOver = kSysButtonText;
    OleColor m_maskColor = 0xC0C0C0;
    ButtonType m_buttonType = ButtonType::Standard;
    QString m_caption;
    int m_colorScheme = 1;
    bool m_showFocusRect = true;
    qint16 m_mousePointer = 0;
    QPixmap m_mouseIcon;
    bool m_softBevel = false;
    QPixmap m_pictureNormal;
    QPixmap m_pictureOver;
    int m_picturePosition = 0;
    bool m_useMaskColor = true;
    bool m_useGreyscale = false;
    int m_specialEffect = 0;
    bool m_checkBoxBehaviour = false;
    bool m_value = false;
    bool m_defaultRole = false;
    bool m_boldCaption = false;  // the up face of a default button is being drawn
    bool m_cancelRole = false;

    short m_lastButton = 0;
    int m_lastKey = 0;
    bool m_hasFocus = false;
    bool m_hovering = false;
    bool m_shown = true;
    bool m_capturing = false;
    bool m_captionDrawn = false;  // a caption was drawn in the current drawing
    int m_lastState = kUp;
    QString m_lastCaption;
    bool m_drawnOnce = false;
    int m_drawCount = 0;
    QSize m_size;
    QRect m_focusRect;
    CaptionLayout m_captionLayout;
    ButtonColours m_colours{};
    QChar m_accessKey;
    int m_shortcutId = 0;
    QImage m_background;  // style 11: the parent's pixels behind the button
    QImage m_face;
    QTimer m_overTimer;
};

}  // namespace corvane
