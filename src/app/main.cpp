#include "TrayModule.h"
#include "cli/CommandLine.h"

int main(int argc, char* argv[]) {
    if (CommandLine::handles(argc, argv))
        return CommandLine::run(argc, argv);
    return TrayModule::run(argc, argv);
}
