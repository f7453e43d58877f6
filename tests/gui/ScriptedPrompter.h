// A prompter for widget tests: records every message and question and answers
// questions from a script (Yes when the script is empty).
#pragma once

#include "ui/Prompter.h"

#include <QList>
#include <QString>

struct ScriptedPrompter : ecr::ui::Prompter {
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        bool question = false;
        bool defaultYes = false;
    };
    QList<Shown> shown;
    QList<bool> answers;

    ScriptedPrompter() { ecr::ui::SetPrompter(this); }
    ~ScriptedPrompter() override { ecr::ui::SetPrompter(nullptr); }
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    void show(QWidget*, Icon icon, const QString& title, const QString& text) override {
        shown.append({icon, title, text});
    }
    bool ask(QWidget*, Icon icon, const QString& title, const QString& text, bool defaultYes) override {
        shown.append({icon, title, text, true, defaultYes});
        return answers.isEmpty() ? true : answers.takeFirst();
    }
};
