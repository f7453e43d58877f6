// ecr-sim: a register on a pseudo-terminal. Prints the device path on the
// first line of standard output, then one line per request it answers.
#include "Demo.h"
#include "Faults.h"
#include "SimServer.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

const char* kUsage =
    "usage: ecr-sim [--image FILE] [--demo] [--baud RATE] [--fault RULE]... [--link PATH] [--quiet] [--verbose]\n"
    "\n"
    "A simulated cash register on a pseudo-terminal. The first line of output is\n"
    "the device to give the program (e.g. ecrctl --port /dev/pts/5).\n"
    "\n"
    "  --image FILE   load the register memory from FILE when it exists, and save\n"
    "                 it there after every page written\n"
    "  --demo         fill in demo data (every data kind)\n"
    "  --baud RATE    answer at the speed of a RATE baud line (default: no pacing)\n"
    "  --fault RULE   misbehave: KIND[@PAGE][#ATTEMPTS], repeatable\n"
    "                   KIND silence, checksum, address, result1, result3, result10\n"
    "                        (any resultN), noise, chunks\n"
    "                   PAGE page address (4113 or 0x1011), clock, or * (default)\n"
    "                   ATTEMPTS which requests to that page: N, N-M, N- or * (default)\n"
    "                 e.g. --fault checksum@4113  --fault silence@4192#1-3\n"
    "  --link PATH    also make PATH a symbolic link to the device\n"
    "  --quiet        print only the device path\n"
    "  --verbose      debug output on stderr (dropped partial frames and the like)\n";

int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string image, link;
    bool demo = false, quiet = false;
    int baud = 0;
    ecr::sim::RegisterMemory memory;
    ecr::sim::SimRegister reg(memory);

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "ecr-sim: " << a << " needs a value\n\n" << kUsage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--image") {
            image = value();
        } else if (a == "--demo") {
            demo = true;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--verbose") {
            QLoggingCategory::setFilterRules("ecr.*=true");
        } else if (a == "--link") {
            link = value();
        } else if (a == "--baud") {
            const std::string v = value();
            try {
                baud = std::stoi(v);
            } catch (...) {
                baud = -1;
            }
            if (baud <= 0) {
                std::cerr << "ecr-sim: bad --baud " << v << "\n";
                return 2;
            }
        } else if (a == "--fault") {
            std::string err;
            auto f = ecr::sim::ParseFault(value(), err);
            if (!f) {
                std::cerr << "ecr-sim: " << err << "\n";
                return 2;
            }
            reg.addFault(*f);
        } else {
            std::cerr << "ecr-sim: unknown argument " << a << "\n\n" << kUsage;
            return 2;
        }
    }

    if (!image.empty() && std::filesystem::exists(image)) {
        if (auto err = memory.load(image); !err.empty()) {
            std::cerr << "ecr-sim: " << err << "\n";
            return 1;
        }
    }
    if (demo) ecr::sim::FillDemo(memory);
    if (!image.empty()) {
        if (auto err = memory.save(image); !err.empty()) {
            std::cerr << "ecr-sim: " << err << "\n";
            return 1;
        }
        reg.onMemoryChanged = [&] {
            if (auto err = memory.save(image); !err.empty()) std::cerr << "ecr-sim: " << err << "\n";
        };
    }
    if (!quiet)
        reg.onEvent = [](const std::string& line) {
            std::cout << line << std::endl;
        };

    ecr::sim::SimServer server(reg);
    server.setBaud(baud);
    QString err;
    if (!server.start(err)) {
        std::cerr << "ecr-sim: cannot create a pseudo-terminal: " << err.toStdString() << "\n";
        return 1;
    }
    if (!link.empty()) {
        std::error_code ec;
        std::filesystem::remove(link, ec);
        std::filesystem::create_symlink(server.path().toStdString(), link, ec);
        if (ec) {
            std::cerr << "ecr-sim: cannot link " << link << ": " << ec.message() << "\n";
            return 1;
        }
    }
    std::cout << server.path().toStdString() << std::endl;

    // SIGINT/SIGTERM end the event loop so the link is removed.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto* n = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    const int rc = app.exec();
    if (!link.empty()) {
        std::error_code ec;
        std::filesystem::remove(link, ec);
    }
    return rc;
}
