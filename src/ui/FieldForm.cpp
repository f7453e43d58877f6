#include "FieldForm.h"

#include "Controls.h"
#include "Texts.h"
#include "app/GlobalFunc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace ecr::ui {

namespace {

constexpr const char* kDateFormat = "yyyy-MM-dd hh:mm:ss";

bool isLineEdit(FieldKind k) {
    return k == FieldKind::Text || k == FieldKind::Digits || k == FieldKind::Code || k == FieldKind::Amount ||
           k == FieldKind::Decimal;
}

EntryRule defaultRule(FieldKind k) {
    switch (k) {
    case FieldKind::Digits: return EntryRule::DigitsMoveOn;
    case FieldKind::Code: return EntryRule::Code;
    case FieldKind::Amount: return EntryRule::Amount;
    case FieldKind::Decimal: return EntryRule::Decimal;
    default: return EntryRule::Text;
    }
}

bool isCombo(const Field& f) {
    return f.kind == FieldKind::Combo || f.kind == FieldKind::Digit ||
           (f.kind == FieldKind::Bit && (!f.itemCaptions.empty() || !f.itemTexts.empty() || f.itemsAt));
}

std::optional<records::FieldLimit> limitOf(const Field& f) {
    if (f.limit) return f.limit;
    if (f.limitAt) return f.limitAt();
    return std::nullopt;
}

bool isWhole(const Field& f) {
    const auto l = limitOf(f);
    return l && l->kind == records::FieldLimit::Kind::Whole;
}

} // namespace

QString CaptionText(const Field& f) {
    const QString caption = Text(f.caption);
    if (!f.captionArg) return caption;
    return QString::fromStdString(SubstituteArgs(caption.toStdString(), {f.captionArg}));
}

QString LimitMessage(const QString& caption, const records::LimitProblem& problem) {
    std::vector<std::string> args{caption.trimmed().toStdString()};
    args.insert(args.end(), problem.args.begin(), problem.args.end());
    return QString::fromStdString(SubstituteArgs(Text(problem.messageId).toStdString(), args));
}

QString LimitMessage(int captionId, const records::LimitProblem& problem) {
    return LimitMessage(Text(captionId), problem);
}

FieldForm::FieldForm(QWidget* form, FieldTable table) : table_(std::move(table)) {
    if (table_.sections.empty()) table_.sections.push_back({});
    build(form);
}

QWidget* FieldForm::makeControl(QWidget* parent, const Field& f) {
    const char* name = f.object;
    if (isLineEdit(f.kind)) {
        QLineEdit* e = MakeField(parent, name, f.rule.value_or(defaultRule(f.kind)));
        if (f.maxLength > 0) e->setMaxLength(f.maxLength);
        return e;
    }
    if (isCombo(f)) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        fillItems(f, c);
        return c;
    }
    switch (f.kind) {
    case FieldKind::Check:
    case FieldKind::Bit: {
        QCheckBox* box = MakeCheckBox(parent, name, f.caption);
        box->setText(LiteralCaption(CaptionText(f)));
        return box;
    }
    case FieldKind::Date: {
        auto* d = new QDateTimeEdit(parent);
        d->setObjectName(QString::fromLatin1(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(f.dateOnly ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-dd hh:mm"));
        return d;
    }
    default: {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        if (!f.column && !f.label && f.caption) l->setText(CaptionText(f));
        return l;
    }
    }
}

// Item values live in the combo's item data, so items built at run time
// carry their own.
void FieldForm::fillItems(const Field& f, QComboBox* combo) const {
    combo->clear();
    const ComboItems items = f.itemsAt ? f.itemsAt() : ComboItems{f.itemCaptions, f.itemValues};
    for (std::size_t i = 0; i < items.captions.size(); ++i) {
        combo->addItem(Text(items.captions[i]));
        if (i < items.values.size()) combo->setItemData(static_cast<int>(i), QVariant::fromValue(static_cast<qlonglong>(items.values[i])));
    }
    const std::size_t first = items.captions.size();
    for (std::size_t i = 0; i < f.itemTexts.size(); ++i) {
        combo->addItem(QString::fromStdString(f.itemTexts[i]));
        if (first + i < items.values.size())
            combo->setItemData(static_cast<int>(first + i), QVariant::fromValue(static_cast<qlonglong>(items.values[first + i])));
    }
}

// The item that shows a stored value: by item value where items have one,
// else by index; then the field's fallback; -1 for none.
int FieldForm::itemOf(const Field& f, const QComboBox* combo, const db::Value& v) const {
    int index = -1;
    if (!v.isNull()) {
        if (combo->count() > 0 && combo->itemData(0).isValid()) {
            index = combo->findData(QVariant::fromValue(static_cast<qlonglong>(v.toInt())));
        } else {
            const long long i = v.toInt();
            if (i >= 0 && i < combo->count()) index = static_cast<int>(i);
        }
    }
    if (index < 0 && f.fallbackItem >= 0 && f.fallbackItem < combo->count()) index = f.fallbackItem;
    return index;
}

void FieldForm::refreshItems() {
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const Field& f = table_.fields[i];
        auto* combo = qobject_cast<QComboBox*>(controls_[i]);
        if (!f.itemsAt || !combo || f.kind != FieldKind::Combo) continue;
        const db::Value shown = storedValue(f);
        fillItems(f, combo);
        const int index = itemOf(f, combo, shown);
        combo->setCurrentIndex(index);
        if (index < 0 && f.column) loaded_[f.column] = shown;
    }
}

void FieldForm::build(QWidget* form) {
    auto* top = new QVBoxLayout;
    layout_ = top;
    if (table_.heading) {
        QLabel* heading = MakeLabel(form, table_.headingObject, table_.heading, false);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        top->addWidget(heading);
    }

    // One grid per section; tabs or framed groups hold those after the first.
    QTabWidget* tabs = nullptr;
    std::vector<QGridLayout*> grids;
    std::vector<QWidget*> parents;
    for (std::size_t s = 0; s < table_.sections.size(); ++s) {
        const Section& sec = table_.sections[s];
        auto* grid = new QGridLayout;
        QWidget* parent = form;
        if (s == 0) {
            top->addLayout(grid);
        } else if (table_.tabs) {
            if (!tabs) {
                tabs = new QTabWidget(form);
                tabs->setObjectName(QString::fromLatin1(table_.tabObject));
                // Every tab caption in sight: the form grows to hold them.
                tabs->setUsesScrollButtons(false);
                top->addWidget(tabs);
            }
            auto* page = new QWidget(tabs);
            if (sec.object) page->setObjectName(QString::fromLatin1(sec.object));
            // Long tabs in tall scripts (Thai) must still fit a 1024 x 768 screen.
            grid->setVerticalSpacing(3);
            page->setLayout(grid);
            tabs->addTab(page, LiteralCaption(Text(sec.caption)));
            parent = page;
        } else {
            if (sec.caption) top->addWidget(MakeLabel(form, sec.object, sec.caption, false));
            if (sec.framed) {
                auto* box = new QGroupBox(form);
                box->setLayout(grid);
                top->addWidget(box);
                parent = box;
            } else {
                top->addLayout(grid);
            }
        }
        grids.push_back(grid);
        parents.push_back(parent);
    }

    std::vector<int> cells(table_.sections.size(), 0);
    std::vector<bool> labelled(table_.sections.size(), false);
    for (const Field& f : table_.fields) labelled[f.section] = labelled[f.section] || f.label;
    for (const Field& f : table_.fields) {
        const std::size_t s = static_cast<std::size_t>(f.section);
        QWidget* control = makeControl(parents[s], f);
        controls_.push_back(control);
        const int columns = std::max(1, table_.sections[s].columns);
        const int cell = cells[s]++;
        const int row = cell / columns;
        const int col = cell % columns;
        QGridLayout* grid = grids[s];
        QLabel* label = nullptr;
        if (labelled[s]) {
            if (f.label) {
                label = MakeLabel(parents[s], f.label, f.caption);
                label->setText(LiteralCaption(FieldLabel(CaptionText(f))));
                label->setBuddy(control);
                grid->addWidget(label, row, 2 * col);
            }
            grid->addWidget(control, row, 2 * col + 1);
        } else {
            grid->addWidget(control, row, col);
        }
        if (f.shown && !f.shown()) {
            control->hide();
            if (label) label->hide();
        }
    }
    if (labelled[0]) grids[0]->setColumnMinimumWidth(1, 220);
    // Fields of a short tab page sit at its top rather than spread over it.
    if (table_.tabs)
        for (std::size_t s = 1; s < grids.size(); ++s) grids[s]->setRowStretch(grids[s]->rowCount(), 1);

    QWidget* previous = nullptr;
    for (QWidget* c : controls_) {
        if (c->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, c);
        previous = c;
    }
}

QWidget* FieldForm::control(const char* object) const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (qstrcmp(table_.fields[i].object, object) == 0) return controls_[i];
    return nullptr;
}

QWidget* FieldForm::firstEditable() const {
    for (QWidget* c : controls_)
        if (c->focusPolicy() != Qt::NoFocus && c->isEnabled() && !c->isHidden()) return c;
    return nullptr;
}

QWidget* FieldForm::lastInTabOrder() const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if ((*it)->focusPolicy() != Qt::NoFocus) return *it;
    return nullptr;
}

QString FieldForm::shownText(const Field& f, const db::Value& v) const {
    if (v.isNull()) return {};
    if (v.isText()) return QString::fromStdString(v.toText());
    if (f.shownDecimals >= 0) return AmountText(v.toDouble(), f.shownDecimals);
    if (v.isReal()) return PlainNumber(v.toDouble());
    return QString::number(v.toInt());
}

void FieldForm::setValue(const Field& f, const db::Value& v) {
    QWidget* c = control(f.object);
    if (auto* e = qobject_cast<QLineEdit*>(c)) {
        e->setText(shownText(f, v));
    } else if (auto* combo = qobject_cast<QComboBox*>(c)) {
        combo->setCurrentIndex(v.isNull() ? -1 : static_cast<int>(v.toInt()));
    } else if (auto* box = qobject_cast<QCheckBox*>(c)) {
        box->setChecked(v.toInt() != 0);
    } else if (auto* date = qobject_cast<QDateTimeEdit*>(c)) {
        QDateTime t = QDateTime::fromString(QString::fromStdString(v.toText()), QString::fromLatin1(kDateFormat));
        if (!t.isValid())
            t = QDateTime(QDate::fromString(QString::fromStdString(v.toText()), Qt::ISODate), QTime(0, 0));
        // No date (a new row): today.
        if (!t.isValid()) t = QDateTime(QDate::currentDate(), QTime(0, 0));
        date->setDateTime(t);
    } else if (auto* label = qobject_cast<QLabel*>(c)) {
        label->setText(shownText(f, v));
    }
}

void FieldForm::load(const db::Rows& rows, std::size_t row) {
    if (row >= rows.size()) return;
    for (const Field& f : table_.fields) {
        if (!f.column || rows.columnIndex(f.column) < 0) continue;
        const db::Value& v = rows.at(row, f.column);
        loaded_[f.column] = v;
        switch (f.kind) {
        case FieldKind::Combo: {
            // A stored value without an item shows the fallback, or none and
            // is kept on saving.
            const auto* combo = control<QComboBox>(f.object);
            const int index = combo ? itemOf(f, combo, v) : -1;
            setValue(f, index < 0 ? db::Value() : db::Value(index));
            break;
        }
        case FieldKind::Bit: {
            const bool set = ((v.toInt() >> f.bit) & 1) != 0;
            setValue(f, (set != f.inverted) ? 1 : 0);
            break;
        }
        case FieldKind::Digit: {
            const std::string s = v.toText();
            const int d = f.digit < static_cast<int>(s.size()) ? s[static_cast<std::size_t>(f.digit)] - '0' : 0;
            const auto* combo = control<QComboBox>(f.object);
            setValue(f, d >= 0 && combo && d < combo->count() ? d : 0);
            break;
        }
        default: setValue(f, v); break;
        }
    }
}

void FieldForm::loadInitial() {
    loaded_.clear();
    for (const Field& f : table_.fields)
        if (f.column || f.kind != FieldKind::Label) setValue(f, f.initial);
}

void FieldForm::loadAnother() {
    for (const Field& f : table_.fields)
        if (f.another) setValue(f, *f.another);
}

std::optional<Refusal> FieldForm::check(int pointDecimals) const {
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const Field& f = table_.fields[i];
        const auto* e = qobject_cast<const QLineEdit*>(controls_[i]);
        if (!e || !e->isEnabled() || (f.shown && !f.shown())) continue;
        const std::string typed = e->text().toStdString();
        const std::string text = TrimBlanks(typed);
        if (text.empty() && f.required) return Refusal{Text(f.required), f.object};
        if (const auto limit = limitOf(f))
            if (const auto problem = records::CheckText(*limit, f.keepBlanks ? typed : text, pointDecimals))
                return Refusal{LimitMessage(CaptionText(f), *problem), f.object};
    }
    return std::nullopt;
}

db::Value FieldForm::storedValue(const Field& f) const {
    QWidget* c = control(f.object);
    if (auto* e = qobject_cast<QLineEdit*>(c)) {
        if (f.kind == FieldKind::Text && f.keepBlanks) return e->text().toStdString();
        const std::string text = TrimBlanks(e->text().toStdString());
        switch (f.kind) {
        case FieldKind::Amount:
        case FieldKind::Decimal:
            if (isWhole(f)) return static_cast<long long>(NumericValue(text));
            return NumericValue(text);
        case FieldKind::Digits:
            if (isWhole(f)) return static_cast<long long>(NumericValue(text));
            return text;
        default: return text;
        }
    }
    if (auto* combo = qobject_cast<QComboBox*>(c)) {
        const int index = combo->currentIndex();
        if (index < 0) {
            const auto it = f.column ? loaded_.find(f.column) : loaded_.end();
            return it != loaded_.end() ? it->second : f.initial;
        }
        const QVariant value = combo->itemData(index);
        return value.isValid() ? db::Value(static_cast<long long>(value.toLongLong())) : db::Value(index);
    }
    if (auto* box = qobject_cast<QCheckBox*>(c)) return box->isChecked() ? 1 : 0;
    if (auto* date = qobject_cast<QDateTimeEdit*>(c)) {
        if (!f.dateOnly) return date->dateTime().toString(QString::fromLatin1(kDateFormat)).toStdString();
        // The day as picked, at the time of day the row had (midnight for a new one).
        QTime time(0, 0);
        if (const auto it = loaded_.find(f.column); it != loaded_.end()) {
            const QDateTime t =
                QDateTime::fromString(QString::fromStdString(it->second.toText()), QString::fromLatin1(kDateFormat));
            if (t.isValid()) time = t.time();
        }
        return QDateTime(date->date(), time).toString(QString::fromLatin1(kDateFormat)).toStdString();
    }
    return {};
}

RowValues FieldForm::values() const {
    RowValues out;
    auto slot = [&out](const std::string& column) -> db::Value& {
        for (auto& [c, v] : out)
            if (c == column) return v;
        out.emplace_back(column, db::Value());
        return out.back().second;
    };
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const Field& f = table_.fields[i];
        if (!f.column || f.kind == FieldKind::Label) continue;
        db::Value& v = slot(f.column);
        if (f.kind == FieldKind::Bit) {
            // The table describes the whole column: bits start from 0.
            const auto* box = qobject_cast<const QCheckBox*>(controls_[i]);
            const auto* combo = qobject_cast<const QComboBox*>(controls_[i]);
            const bool on = box ? box->isChecked() : combo && combo->currentIndex() == 1;
            const long long packed = v.isNull() ? 0 : v.toInt();
            v = (on != f.inverted) ? (packed | (1LL << f.bit)) : packed;
        } else if (f.kind == FieldKind::Digit) {
            std::string s = v.isNull() ? std::string() : v.toText();
            if (s.size() <= static_cast<std::size_t>(f.digit)) s.resize(static_cast<std::size_t>(f.digit) + 1, '0');
            const auto* combo = qobject_cast<const QComboBox*>(controls_[i]);
            const int d = combo ? std::clamp(combo->currentIndex(), 0, 9) : 0;
            s[static_cast<std::size_t>(f.digit)] = static_cast<char>('0' + d);
            v = s;
        } else {
            v = storedValue(f);
        }
    }
    return out;
}

void InsertRow(db::Database& db, const std::string& table, const RowValues& values) {
    std::string columns, marks;
    db::Params params;
    for (const auto& [c, v] : values) {
        columns += (columns.empty() ? "" : ", ") + c;
        marks += marks.empty() ? "?" : ", ?";
        params.push_back(v);
    }
    db.execute("INSERT INTO " + table + "(" + columns + ") VALUES(" + marks + ")", params);
}

void UpdateRow(db::Database& db, const std::string& table, const RowValues& values, const std::string& keyColumn,
               const db::Value& key) {
    std::string sets;
    db::Params params;
    for (const auto& [c, v] : values) {
        sets += (sets.empty() ? "" : ", ") + c + " = ?";
        params.push_back(v);
    }
    params.push_back(key);
    db.execute("UPDATE " + table + " SET " + sets + " WHERE " + keyColumn + " = ?", params);
}

} // namespace ecr::ui
