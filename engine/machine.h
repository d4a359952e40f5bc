#pragma once
// What the installation engine needs of the machine, one concern behind each interface: the
// registry store, the programs it starts, files and folders, the archives, the desktop. An
// operation takes only the concern it uses; the procedures take the whole machine. The
// engine's logic is tested against a fake; the real machine is LinuxMachine
// (linux_machine.h).

#include "archives.h"
#include "desktop.h"
#include "files.h"
#include "programs.h"
#include "registry_store.h"

namespace engine {

class Machine {
public:
    virtual ~Machine() = default;

    virtual RegistryStore& registry() = 0;
    virtual Programs& programs() = 0;
    virtual Files& files() = 0;
    virtual Archives& archives() = 0;
    virtual Desktop& desktop() = 0;
};

}  // namespace engine
