#include "DisplayPlatform.h"
#include "HourlarkApp.h"

#include <QApplication>

// What the executable calls once it has loaded this module: the tray program from start to end.
extern "C" Q_DECL_EXPORT int hourlark_tray_main(int argc, char* argv[]) {
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
