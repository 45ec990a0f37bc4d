#include "CommandIds.h"

#include "Controls.h"

#include <map>

namespace ruk {

namespace {
struct CommandRegistry {
    std::map<UINT, std::function<void()>> handlers;
    UINT next = 100;
};
CommandRegistry& Commands() {
    static CommandRegistry r;
    return r;
}
}  // namespace

UINT AllocCommandId(std::function<void()> handler) {
    CommandRegistry& r = Commands();
    // Menu and accelerator ids are 16-bit; ids above 0xEFFF collide with system commands.
    for (int tries = 0; tries < 0xEF00; ++tries) {
        UINT id = r.next++;
        if (r.next > 0xEFFF) r.next = 100;
        if (!r.handlers.count(id)) {
            r.handlers[id] = std::move(handler);
            return id;
        }
    }
    throw EComponentError("No command id left");
}

void ReleaseCommandId(UINT id) { Commands().handlers.erase(id); }

bool DispatchCommand(UINT id) {
    auto it = Commands().handlers.find(id);
    if (it == Commands().handlers.end()) return false;
    // A copy: the handler may release its own id (a form closing from a menu).
    std::function<void()> f = it->second;
    if (f) f();
    return true;
}

}  // namespace ruk
