#include "Prompter.h"

#include "Texts.h"

#include <QMessageBox>

namespace ecr::ui {
namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Critical: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::Exclamation: return QMessageBox::Warning;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

class MessageBoxPrompter final : public Prompter {
public:
    void show(QWidget* parent, Icon icon, const QString& title, const QString& text) override {
        QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
        box.exec();
    }
    bool ask(QWidget* parent, Icon icon, const QString& title, const QString& text, bool defaultYes) override {
        QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
};

MessageBoxPrompter& boxes() {
    static MessageBoxPrompter p;
    return p;
}

Prompter*& installed() {
    static Prompter* p = nullptr;
    return p;
}

} // namespace

Prompter& Prompt() { return installed() ? *installed() : boxes(); }

void SetPrompter(Prompter* prompter) { installed() = prompter; }

namespace {
constexpr int kTitle = 111115;
}

void Inform(QWidget* parent, int messageId) { InformText(parent, Text(messageId)); }

void InformText(QWidget* parent, const QString& text) { Prompt().information(parent, Text(kTitle), text); }

void ErrorText(QWidget* parent, const QString& text) { Prompt().error(parent, Text(kTitle), text); }

bool Confirm(QWidget* parent, int messageId, Prompter::Icon icon, bool defaultYes) {
    return Prompt().yesNo(parent, Text(kTitle), Text(messageId), defaultYes, icon);
}

bool ConfirmDestructive(QWidget* parent, int messageId, Prompter::Icon icon, const QString& what) {
    return Prompt().yesNo(parent, Text(kTitle), Text(messageId) + QStringLiteral("\n") + what, false, icon);
}

} // namespace ecr::ui
