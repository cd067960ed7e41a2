#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class AppDelegate;
class ControlService;
class DBusNotifier;
class FilePreferencesStore;
class SingleInstance;
class SystemClock;
class TerminationSignals;

// The process: command line, one instance per user, clean ends on SIGTERM/SIGINT/SIGHUP, the choice
// of status item, and the delegate that owns the rest.
class HourlarkApp final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HourlarkApp)
public:
    HourlarkApp();
    ~HourlarkApp() override;

    // Names, version and desktop file; before the application object exists.
    static void setIdentity();
    // --help and --version need no display: main() answers them before starting the GUI.
    static bool wantsCommandLineOnly(int argc, char** argv);
    struct Options {
        // Started by the session bus for a call to our name (the D-Bus service file says so).
        bool dbusActivated = false;
    };
    // Parses the arguments; exits for --help, --version and unknown options.
    static Options parseCommandLine(const QStringList& arguments);

    // Runs the program to its end and returns the process's exit status.
    int run();

private:
    // Puts the countdown and the history on the session bus.
    void publishControlService();
    void onOpenRequested();
    void onTerminationRequested();

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<TerminationSignals> m_signals;
    std::unique_ptr<FilePreferencesStore> m_store;
    std::unique_ptr<DBusNotifier> m_notifier;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<ControlService> m_control;
    bool m_openWhenReady = false;
    bool m_quitRequested = false;
};
