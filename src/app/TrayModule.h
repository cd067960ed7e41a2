#pragma once

// The tray program, kept in a module of its own (hourlark-tray.so) beside or below the
// executable: the widgets and everything they load take several times longer to start than a
// command needs, so only a run without a command loads them.
namespace TrayModule {

// Loads the module and runs the tray program in it; returns its exit status.
int run(int argc, char** argv);

} // namespace TrayModule
