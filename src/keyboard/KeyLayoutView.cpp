#include "KeyLayoutView.h"

#include "Log.h"
#include "app/AppState.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Texts.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace ecr::keyboard {

using namespace ecr::ui;

namespace {

// Chinese text fonts in order of preference: the register's own caption font
// where installed, else the CJK fonts Debian ships.
const char* const kChineseFonts[] = {"SimSun",           "宋体",
                                     "NSimSun",          "AR PL UMing CN",
                                     "Noto Serif CJK SC", "Noto Sans CJK SC",
                                     "WenQuanYi Micro Hei", "Droid Sans Fallback"};

QString chineseFamily() {
    const QStringList present = QFontDatabase::families();
    for (const char* name : kChineseFonts) {
        const QString family = QString::fromUtf8(name);
        if (present.contains(family, Qt::CaseInsensitive)) return family;
    }
    return InterfaceFontFamily(3);
}

const QString kEllipsis = QStringLiteral("\u2026");

QSizeF measure(const QFontMetricsF& fm, const QString& text) {
    return fm.boundingRect(QRectF(0, 0, 10000, 10000), Qt::AlignCenter, text).size();
}

bool fits(const QFontMetricsF& fm, const QString& text, const QSizeF& area) {
    const QSizeF s = measure(fm, text);
    return s.width() <= area.width() && s.height() <= area.height();
}

// The longest start of the line, ended at a grapheme boundary, that fits the
// width with "…" behind it; the line itself when it fits and nothing was cut
// after it.
QString elideLine(const QFontMetricsF& fm, const QString& line, qreal width, bool cutAfter) {
    if (!cutAfter && measure(fm, line).width() <= width) return line;
    QList<int> ends;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    for (int p = graphemes.toNextBoundary(); p > 0; p = graphemes.toNextBoundary()) ends.prepend(p);
    for (int end : ends) {
        const QString candidate = line.left(end) + kEllipsis;
        if (measure(fm, candidate).width() <= width) return candidate;
    }
    return measure(fm, kEllipsis).width() <= width ? kEllipsis : QString();
}

} // namespace

QFont KeyFont(int langCode) {
    QFont f;
    if (langCode == 1) {
        f.setFamilies({chineseFamily()});
        f.setPointSizeF(9);
        f.setBold(true);
    } else {
        f.setFamilies({InterfaceFontFamily(3)});
        f.setPointSizeF(8);
        f.setBold(false);
    }
    return f;
}

FittedCaption FitCaption(const QString& caption, const QFont& font, const QSizeF& area, qreal minPointSize) {
    QFont f = font;
    const qreal start = font.pointSizeF() > 0 ? font.pointSizeF() : minPointSize;
    for (qreal size = start; size >= minPointSize - 1e-9; size -= 0.5) {
        f.setPointSizeF(size);
        if (fits(QFontMetricsF(f), caption, area)) return {caption, f, false};
    }
    f.setPointSizeF(minPointSize);
    const QFontMetricsF fm(f);
    const QStringList lines = caption.split(u'\n');
    // As many lines as the height holds, at least one.
    qsizetype kept = 1;
    while (kept < lines.size() && measure(fm, lines.mid(0, kept + 1).join(u'\n')).height() <= area.height()) ++kept;
    QStringList shown;
    for (qsizetype i = 0; i < kept; ++i)
        shown << elideLine(fm, lines[i], area.width(), i == kept - 1 && kept < lines.size());
    return {shown.join(u'\n'), f, true};
}

int TwipsToPixels(int twips, qreal dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

// ---- one key ----------------------------------------------------------------------

KeyButton::KeyButton(int code, QWidget* parent) : QPushButton(parent), code_(code) {
    setObjectName(QStringLiteral("cmdKey"));
    setProperty("Tag", QString::number(code));
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
}

void KeyButton::setFace(const QString& caption, const QString& tooltip, bool warn) {
    caption_ = caption;
    tooltip_ = tooltip;
    warn_ = warn;
    setAccessibleName(QString(caption).replace(u'\n', u' '));
    refit();
}

QRect KeyButton::captionArea() const {
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = rect();
    return style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this).adjusted(2, 2, -2, -2);
}

void KeyButton::refit() {
    fitted_ = FitCaption(caption_, font(), captionArea().size());
    setToolTip(tooltip_.isEmpty() && fitted_.elided ? QString(caption_).replace(u'\n', u' ') : tooltip_);
    update();
}

void KeyButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    refit();
}

void KeyButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) refit();
}

void KeyButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButton, opt);
    p.setFont(fitted_.font);
    if (warn_ && isEnabled())
        p.setPen(QColor(0xB0, 0x00, 0x00));
    else
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // No mnemonic: an "&" in a caption is shown as it stands.
    p.drawText(captionArea(), Qt::AlignCenter, fitted_.text);
}

// ---- the keyboard ---------------------------------------------------------------

KeyLayoutView::KeyLayoutView(const KeyLayout& layout, QWidget* parent) : QWidget(parent), layout_(layout) {
    setObjectName(QString::fromStdString(ControlName(layout)));
    label_ = MakeLabel(this, "Label1", 111021, false);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (const KeyPos& k : layout.keys) {
        auto* b = new KeyButton(k.code, this);
        keys_ << b;
        connect(b, &QPushButton::clicked, this, [this, code = k.code] { emit keyClicked(code); });
    }
    placeKeys();
    FillButtonText();
}

void KeyLayoutView::placeKeys() {
    const qreal dpi = logicalDpiX();
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    int right = 0, bottom = 0;
    for (int i = 0; i < keys_.size(); ++i) {
        const KeyPos& k = layout_.keys[static_cast<std::size_t>(i)];
        keys_[i]->setGeometry(px(k.left), px(k.top), px(k.left + k.width) - px(k.left),
                              px(k.top + k.height) - px(k.top));
        right = std::max(right, k.left + k.width);
        bottom = std::max(bottom, k.top + k.height);
    }
    // Label1 above the keys on the left: down to the first key of the left
    // half, across to the first key beside it.
    int labelBottom = bottom;
    for (const KeyPos& k : layout_.keys)
        if (k.left < right / 2) labelBottom = std::min(labelBottom, k.top);
    int labelRight = right;
    for (const KeyPos& k : layout_.keys)
        if (k.top < labelBottom) labelRight = std::min(labelRight, k.left);
    label_->setGeometry(px(150), px(60), px(labelRight - 60) - px(150), px(labelBottom - 60) - px(60));
    setFixedSize(px(right + 150), px(bottom + 150));
}

KeyButton* KeyLayoutView::key(int code) const {
    for (KeyButton* b : keys_)
        if (b->code() == code) return b;
    return nullptr;
}

void KeyLayoutView::FillButtonText() {
    const int lang = App().langCode;
    const QFont font = KeyFont(lang);
    std::map<int, KeyFace> faces;
    if (App().conn)
        Trapped(this, objectName().toStdString() + "_FillButtonText", [&] {
            KeyboardStore store(Db(), layout_, lang);
            faces = store.faces();
        });
    for (KeyButton* b : keys_) {
        b->setFont(font);
        const KeyFace f = faces.count(b->code()) ? faces.at(b->code()) : KeyFace{};
        b->setFace(QString::fromStdString(f.caption), QString::fromStdString(f.tooltip), f.unknownPlu);
    }
    label_->setText(Text(111021));
    qCDebug(lcKeyboard) << objectName() << "captions in language" << lang << "font" << font.family();
}

} // namespace ecr::keyboard
