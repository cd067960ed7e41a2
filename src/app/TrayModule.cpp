#include "TrayModule.h"

#include "cli/Cli.h"

#include <QString>
#include <climits>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

using TrayMain = int (*)(int, char**);

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string executable(path, size_t(length));
    return executable.substr(0, executable.rfind('/'));
}

} // namespace

namespace TrayModule {

int run(int argc, char** argv) {
    // Beside the executable in a build folder; where the install put it otherwise.
    const std::string folder = executableFolder();
    std::string error;
    for (const std::string& path :
         {folder + "/hourlark-tray.so", folder + "/" + HOURLARK_TRAY_MODULE_FROM_BINDIR}) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            error = ::dlerror();
            break;
        }
        if (auto trayMain = reinterpret_cast<TrayMain>(::dlsym(module, "hourlark_tray_main")))
            return trayMain(argc, argv);
        error = ::dlerror();
        break;
    }
    if (error.empty())
        error = Cli::tr("no %1 next to or below %2")
                    .arg(QStringLiteral("hourlark-tray.so"), QString::fromStdString(folder))
                    .toStdString();
    return Cli::fail(QString(), Cli::tr("the tray program cannot be loaded: %1")
                                    .arg(QString::fromLocal8Bit(error.c_str())));
}

} // namespace TrayModule
