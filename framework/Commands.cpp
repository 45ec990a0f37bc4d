#include "Commands.h"

#include "ComCtrls.h"
#include "Menus.h"

#include <map>

namespace ruk {

namespace {
struct TCommandTable {
    std::map<UINT, TCommand> Commands;
    UINT Next = 100;
};
TCommandTable& Table() {
    static TCommandTable t;
    return t;
}

// Runs each kind of command the way its own click or shortcut would.
struct TRunCommand {
    void operator()(TAction* action) const { action->Execute(); }
    void operator()(TMenuItem* item) const { item->Click(); }
    void operator()(TToolButton* button) const { button->Click(); }
};
}  // namespace

UINT TCommandId::Take(TCommand command) {
    if (FId) return FId;
    TCommandTable& t = Table();
    // Menu and accelerator ids are 16-bit; ids above 0xEFFF collide with system commands.
    for (int tries = 0; tries < 0xEF00; ++tries) {
        const UINT id = t.Next++;
        if (t.Next > 0xEFFF) t.Next = 100;
        if (t.Commands.emplace(id, command).second) return FId = id;
    }
    throw EComponentError("No command id left");
}

void TCommandId::Release() {
    if (!FId) return;
    Table().Commands.erase(FId);
    FId = 0;
}

const TCommand* FindCommand(UINT id) {
    const auto it = Table().Commands.find(id);
    return it == Table().Commands.end() ? nullptr : &it->second;
}

bool DispatchCommand(UINT id) {
    const TCommand* command = FindCommand(id);
    if (!command) return false;
    // A copy: the command may release its own id (a form closing from a menu).
    const TCommand run = *command;
    std::visit(TRunCommand{}, run);
    return true;
}

}  // namespace ruk
