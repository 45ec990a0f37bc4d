// Commands: the one table of the ids that WM_COMMAND carries from menus, accelerators and tool
// buttons.
//
// A command is an action, or a menu item or tool button that shows no action. The clients of
// an action send the action's id, so a command has one id however many menus and tool bars
// show it; a client without an action takes an id of its own from the same table. The id is
// held by its command for as long as the command lives.
#pragma once

#include <windows.h>

#include <variant>

namespace ruk {

class TAction;
class TMenuItem;
class TToolButton;

// What an id runs: the action (Execute), or the menu item or tool button (Click).
using TCommand = std::variant<TAction*, TMenuItem*, TToolButton*>;

// An id of the table and the command it runs, released with its holder; 0 while none is held.
class TCommandId {
public:
    TCommandId() = default;
    explicit TCommandId(TCommand command) { Take(command); }
    ~TCommandId() { Release(); }
    TCommandId(const TCommandId&) = delete;
    TCommandId& operator=(const TCommandId&) = delete;

    UINT Id() const { return FId; }
    // The held id, taken for command first when none is held.
    UINT Take(TCommand command);
    void Release();

private:
    UINT FId = 0;
};

// The command of id, or null when the id is unknown.
const TCommand* FindCommand(UINT id);
// Runs the command of id; false when the id is unknown.
bool DispatchCommand(UINT id);

}  // namespace ruk
