// Widget tests of the editor forms: a fresh database, marked catalogue texts
// ("S<id>" in language 1), a scripted prompter, and help for driving the
// modal entry forms by object name.
#pragma once

#include "app/ErrorLog.h"
#include "gui/GuiFixture.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

struct FormsFixture : GuiFixture {
    FormsFixture() { ecr::SetErrorLogFolder(dir.path.string()); }

    // Watches for a modal dialog; stops watching when dropped.
    struct ModalWatch {
        bool seen = false;
        QPointer<QTimer> timer;
        ~ModalWatch() { delete timer.data(); }
        operator bool() const { return seen; }
    };
    // Acts on the modal dialog called name once it shows, then closes it if
    // the action left it open. The watch tells whether it showed at all.
    std::shared_ptr<ModalWatch> whenModal(const QString& name, std::function<void(QDialog*)> act) {
        auto watch = std::make_shared<ModalWatch>();
        auto* timer = new QTimer;
        watch->timer = timer;
        timer->setInterval(1);
        ModalWatch* w = watch.get();
        QObject::connect(timer, &QTimer::timeout, timer, [timer, w, name, act] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d->objectName() != name) return;
            timer->stop();
            w->seen = true;
            act(d);
            if (d->isVisible()) d->reject();
        });
        timer->start();
        return watch;
    }

    static void click(QWidget* parent, const char* button) {
        QPushButton* b = child<QPushButton>(parent, button);
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void setText(QWidget* parent, const char* box, const QString& text) {
        QLineEdit* e = child<QLineEdit>(parent, box);
        ASSERT_NE(e, nullptr);
        e->setText(text);
    }
    static QString text(QWidget* parent, const char* box) { return child<QLineEdit>(parent, box)->text(); }
    static QString focusName(QWidget* form) { return form->focusWidget() ? form->focusWidget()->objectName() : QString(); }
    static QStringList rowTexts(const QTreeWidgetItem* row) {
        QStringList t;
        for (int c = 0; c < row->columnCount(); ++c) t << row->text(c);
        return t;
    }
    static QTreeWidget* listOf(QWidget* form) { return child<QTreeWidget>(form, "ListView1"); }
    static void selectRow(QWidget* form, int row) {
        QTreeWidget* l = listOf(form);
        l->setCurrentItem(l->topLevelItem(row));
    }

    // Texts of the messages shown since the count mark.
    QStringList messagesSince(qsizetype mark) const {
        QStringList t;
        for (qsizetype i = mark; i < prompter.shown.size(); ++i) t << prompter.shown[i].text;
        return t;
    }
};
