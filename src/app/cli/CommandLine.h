#pragma once

// `hourlark COMMAND ...`: drives the running Hourlark over the session bus (the control service)
// and exits; `hourlark` alone starts the tray program. The commands are answered by this small
// part of the program alone, without the widgets and what they load, so a status bar can ask every
// second and a keyboard shortcut reacts at once.
namespace CommandLine {

// Whether the arguments are for the command line: a command, or a request for help or the
// version. Anything else (no arguments, or options such as --dbus-activated) is for the tray
// program.
bool handles(int argc, char** argv);
// Runs the command and returns the process's exit status (Cli::ExitStatus).
int run(int argc, char** argv);

} // namespace CommandLine
