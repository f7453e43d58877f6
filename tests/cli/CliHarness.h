// ecrctl and ecr-sim as child processes, for the end-to-end tests.
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace cli_harness {

inline QCoreApplication& qtApp() {
    static int argc = 1;
    static char arg0[] = "test";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

struct Result {
    int code = -1;
    std::string out, err;
};

// ecrctl in an English locale (the language of a database without its
// settings row), in the given folder.
inline Result RunEcrctl(const QStringList& args, int timeoutMs = 60000, const QString& folder = {}) {
    qtApp();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.remove("LC_MESSAGES");
    env.insert("LANG", "C");
    env.remove("QT_LOGGING_RULES"); // ecrctl keeps its diagnostics in ecr.log
    p.setProcessEnvironment(env);
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.start(ECRCTL, args);
    p.waitForFinished(timeoutMs);
    Result r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

// ecr-sim; its first line is the device, then one line per request
// ("read 4112 page", "write 4112 ok").
struct Sim {
    QProcess p;
    QString path;
    std::string events;
    explicit Sim(const QStringList& args) {
        qtApp();
        p.start(ECR_SIM, args);
        if (p.waitForReadyRead(5000)) {
            p.waitForReadyRead(50);
            path = QString::fromLocal8Bit(p.readLine()).trimmed();
        }
    }
    ~Sim() {
        p.terminate();
        p.waitForFinished(3000);
    }
    // Every request line so far.
    std::string lines() {
        p.waitForReadyRead(100);
        events += p.readAllStandardOutput().toStdString();
        return events;
    }
    // Request lines since the last call.
    std::vector<std::string> log() {
        std::istringstream in(lines());
        events.clear();
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    // Addresses of the requests of one sort ("read", "write") since the last call.
    std::vector<int> requests(const std::string& sort) {
        std::vector<int> out;
        for (const std::string& line : log())
            if (line.rfind(sort + " ", 0) == 0) out.push_back(std::stoi(line.substr(sort.size() + 1)));
        return out;
    }
};

} // namespace cli_harness
