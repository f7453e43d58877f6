// The forms the main window can open, by name. A form joins the program with
// one add() in RegisterStandardForms; the main window enables the menu entries
// and toolbar buttons of every registered name and leaves the others disabled.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace ecr::gui {

class FormRegistry {
public:
    // Shows the form, modally, over parent.
    using Opener = std::function<void(QWidget* parent)>;

    void add(const QString& name, Opener open) { openers_.insert(name, std::move(open)); }
    bool has(const QString& name) const { return openers_.contains(name); }
    QStringList names() const { return openers_.keys(); }
    // False when nothing is registered under the name.
    bool open(const QString& name, QWidget* parent) const {
        auto it = openers_.constFind(name);
        if (it == openers_.cend()) return false;
        it.value()(parent);
        return true;
    }

    // Opener of a dialog class constructed with its parent and run modally.
    template <class Form> static Opener modal() {
        return [](QWidget* parent) {
            Form form(parent);
            form.exec();
        };
    }

private:
    QHash<QString, Opener> openers_;
};

// Every form of the program that exists so far.
void RegisterStandardForms(FormRegistry& forms);

// Key-assignment editor of a keyboard type (info.keyboard): 0 the 39-key (its
// second arrangement with OEM type 1), 1 the 48-key, 3 the 93-key, 4 the second
// 39-key arrangement, anything else the 59-key editor.
QString KeyEditorFormName(int keyboardType, int oemType = 0);

} // namespace ecr::gui
