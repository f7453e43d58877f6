// The picture of a register keyboard: one button per key at its place and
// size, scaled from twips to the screen, captioned with what the key does now.
// One control for every layout; the layout's table says where the keys go.
#pragma once

#include "KeyModel.h"

#include <QFont>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QWidget>

class QLabel;

namespace ecr::keyboard {

// Smallest size a caption is shrunk to before it is elided.
inline constexpr qreal kMinKeyPointSize = 6.0;

// The key font of an interface language: a Chinese text font, bold 9 pt, for
// language 1; the interface's sans-serif font, 8 pt, for the others.
QFont KeyFont(int langCode);

// A caption laid out for the room inside a key.
struct FittedCaption {
    QString text; // lines separated by '\n'
    QFont font;
    bool elided = false;
};
// The caption at the font's size when it fits, else at the largest smaller
// size (half points, down to minPointSize) where it fits; failing that, at
// minPointSize with the lines that fit, each line cut after a whole character
// (grapheme) and marked with "…".
FittedCaption FitCaption(const QString& caption, const QFont& font, const QSizeF& area,
                         qreal minPointSize = kMinKeyPointSize);

// Twips to pixels at a resolution (dots per inch).
int TwipsToPixels(int twips, qreal dpi);

class KeyButton : public QPushButton {
    Q_OBJECT
public:
    KeyButton(int code, QWidget* parent);
    int code() const { return code_; }

    // What the key shows; warn marks a PLU number that names no PLU. An
    // elided caption puts the whole caption into an empty tooltip.
    void setFace(const QString& caption, const QString& tooltip, bool warn);
    QString caption() const { return caption_; }
    bool warned() const { return warn_; }
    const FittedCaption& fitted() const { return fitted_; }
    // Where the caption is drawn, inside the key's frame.
    QRect captionArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refit();

    int code_;
    QString caption_, tooltip_;
    bool warn_ = false;
    FittedCaption fitted_;
};

class KeyLayoutView : public QWidget {
    Q_OBJECT
public:
    KeyLayoutView(const KeyLayout& layout, QWidget* parent);

    const KeyLayout& layout() const { return layout_; }
    // Factory captions in the interface language, then what the assignments
    // show, in the language's key font.
    void FillButtonText();
    KeyButton* key(int code) const;
    const QList<KeyButton*>& keys() const { return keys_; }

signals:
    void keyClicked(int code);

private:
    void placeKeys();

    const KeyLayout& layout_;
    QList<KeyButton*> keys_;
    QLabel* label_;
};

} // namespace ecr::keyboard
