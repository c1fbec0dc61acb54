#include "core/Calendar.h"
#include "Platform/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Kestrove");

    const kestrove::SystemClock clock;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    std::printf("Kestrove %s\n", KESTROVE_VERSION);
    std::printf("Today is %s; the record will live in %s/Kestrove, settings in %s/Kestrove.\n",
                kestrove::Calendar::dayString(clock.now()).c_str(), qPrintable(data),
                qPrintable(config));
    std::printf("The tracker is not built yet: nothing was recorded.\n");
    return 0;
}
