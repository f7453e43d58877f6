// A fresh database as the program creates it, installed as the program's
// connection, with a scripted prompter and marked catalogue texts; or with
// the program's real catalogue in the language a test speaks.
#pragma once

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"
#include "ui/Languages.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <regex>

struct AppFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    ScriptedPrompter prompter;

    AppFixture() {
        ecr::App() = ecr::AppState{};
        ecr::App().conn = db.get();
        ecr::App().dbPath = dir.file("ecr.db");
        ecr::App().dbFileName = "ecr.db";
    }
    ~AppFixture() override {
        ecr::App() = ecr::AppState{};
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }
};

// The program's own texts, in the language set by speak().
struct RealCatalogueFixture : AppFixture {
    RealCatalogueFixture() { ecr::SetErrorLogFolder(dir.path.string()); }
    ~RealCatalogueFixture() override { ecr::ui::ApplyInterfaceLanguage(3); }
    void speak(int lang) {
        ecr::App().langCode = lang;
        ecr::ui::ApplyInterfaceLanguage(lang);
    }
};

struct GuiFixture : AppFixture {
    GuiFixture() { markTexts(); }

    // Every catalogue text reads "<letter><id>": S Simplified, T Traditional,
    // E English, H Thailand; the other columns are empty, so they fall back to
    // English. Placeholders (%1, %2, ...) and the page mark "(x)" of a text
    // stay, after a blank: "E120004 %1 %2 %3 %4". Captions and messages can
    // then be checked exactly without restating the catalogue.
    void markTexts() {
        static const std::regex mark(R"(%[1-9]|\(x\))");
        const ecr::db::Rows rows = db->query("SELECT msgid, English FROM msglist");
        ecr::db::Transaction t(*db);
        for (const auto& r : rows.rows) {
            const std::string id = r[0].toText();
            const std::string english = r[1].toText();
            std::string keep;
            for (auto m = std::sregex_iterator(english.begin(), english.end(), mark); m != std::sregex_iterator(); ++m)
                if (keep.find(m->str()) == std::string::npos) keep += " " + m->str();
            db->execute("UPDATE msglist SET Simplified = ?, Traditional = ?, English = ?, Vietnam = NULL, Farsi = NULL, "
                        "French = NULL, Thailand = ? WHERE msgid = ?",
                        {"S" + id + keep, "T" + id + keep, "E" + id + keep, "H" + id + keep, r[0]});
        }
        t.commit();
    }

    template <class T> static T* child(QObject* parent, const char* name) {
        T* w = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

// Failures print Qt strings as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join(", ").toStdString() << '}'; }
