// A fresh database as the program creates it, installed as the program's
// connection, with a scripted prompter. Catalogue texts of the ids under test
// are replaced by "<column letter><id>" so captions can be checked exactly.
#pragma once

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "db/Schema.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

struct GuiFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    ScriptedPrompter prompter;

    GuiFixture() {
        ecr::App() = ecr::AppState{};
        ecr::App().conn = db.get();
        ecr::App().dbPath = dir.file("ecr.db");
        ecr::App().dbFileName = "ecr.db";
    }
    ~GuiFixture() override {
        ecr::App() = ecr::AppState{};
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }

    // S<id> Simplified, T<id> Traditional, E<id> English, H<id> Thailand; the
    // other columns empty (so they fall back to English).
    void useMarkedTexts(std::initializer_list<int> ids) {
        for (int id : ids) {
            const std::string n = std::to_string(id);
            db->execute("DELETE FROM msglist WHERE msgid = ?", {id});
            db->execute("INSERT INTO msglist(msgid, Simplified, Traditional, English, Thailand) VALUES(?, ?, ?, ?, ?)",
                        {id, "S" + n, "T" + n, "E" + n, "H" + n});
        }
    }

    template <class T> static T* child(QObject* parent, const char* name) {
        T* w = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};
