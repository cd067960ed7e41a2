#include "DisplayPlatform.h"
#include "HourlarkApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    DisplayPlatform::applyBeforeStart();
    HourlarkApp::setIdentity();
    if (HourlarkApp::wantsCommandLineOnly(argc, argv)) {
        // Answered without connecting to a display.
        QCoreApplication app(argc, argv);
        HourlarkApp::parseCommandLine(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    HourlarkApp hourlark;
    return hourlark.run();
}
