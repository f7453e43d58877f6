// Message boxes and questions. Every form asks through Prompt(), so tests can
// install their own prompter, answer the questions and read what was shown.
#pragma once

#include <QString>

class QWidget;

namespace ecr::ui {

class Prompter {
public:
    enum class Icon { None, Information, Critical, Question, Exclamation };

    virtual ~Prompter() = default;

    // A message with an OK button.
    virtual void show(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes. defaultYes picks the button Enter presses.
    virtual bool ask(QWidget* parent, Icon icon, const QString& title, const QString& text, bool defaultYes) = 0;

    void information(QWidget* parent, const QString& title, const QString& text) {
        show(parent, Icon::Information, title, text);
    }
    void error(QWidget* parent, const QString& title, const QString& text) { show(parent, Icon::Critical, title, text); }
    void plain(QWidget* parent, const QString& title, const QString& text) { show(parent, Icon::None, title, text); }
    bool yesNo(QWidget* parent, const QString& title, const QString& text, bool defaultYes = true,
               Icon icon = Icon::Question) {
        return ask(parent, icon, title, text, defaultYes);
    }
};

// The prompter in use: message boxes unless one was installed.
Prompter& Prompt();
// Installs a prompter (not owned); nullptr restores the message boxes.
void SetPrompter(Prompter* prompter);

// The forms' message boxes, titled with message 111115.
void Inform(QWidget* parent, int messageId);
void InformText(QWidget* parent, const QString& text);
void ErrorText(QWidget* parent, const QString& text);
bool Confirm(QWidget* parent, int messageId, Prompter::Icon icon, bool defaultYes = true);
// A destructive question: No is the default, and the text names what goes.
bool ConfirmDestructive(QWidget* parent, int messageId, Prompter::Icon icon, const QString& what);

} // namespace ecr::ui
