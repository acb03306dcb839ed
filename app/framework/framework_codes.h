// The codes the framework speaks: pane and class IDs, commands and broadcast
// messages. All are four-character codes, but commands and messages are kept
// apart by type: 'UPDT' is both a command (check for a newer version) and a
// message (the configurations changed), and the compiler must not let one
// stand for the other.
#pragma once

#include <cstdint>

#include "foundation/messaging/broadcaster.h"
#include "foundation/messaging/four_char_code.h"

using PaneIDT = FourCharCode;   // a pane's ID inside its window ('URL ')
using ClassIDT = FourCharCode;  // the class a layout row asks for ('pbut')

// Commands travel the commander chain (CCommander). A distinct type, so a
// MessageT never converts to it silently.
enum class CommandT : std::uint32_t {};

constexpr CommandT MakeCommand(const char (&text)[5]) { return CommandT{MakeFourCharCode(text)}; }
constexpr CommandT CommandNumber(std::uint32_t number) { return CommandT{number}; }
constexpr std::uint32_t CommandValue(CommandT command) { return static_cast<std::uint32_t>(command); }

// The framework's numbered commands.
inline constexpr CommandT kCmdNothing = CommandNumber(0);
inline constexpr CommandT kCmdAbout = CommandNumber(1);
inline constexpr CommandT kCmdClose = CommandNumber(4);
inline constexpr CommandT kCmdPrint = CommandNumber(9);
inline constexpr CommandT kCmdQuit = CommandNumber(10);
inline constexpr CommandT kCmdPreferences = CommandNumber(27);

// Messages (MessageT, from foundation/messaging) that the framework itself
// broadcasts or expects.
inline constexpr MessageT kMsgNothing = 0;
inline constexpr MessageT kMsgOK = 900;        // ends a dialog: OK, Quit, Save
inline constexpr MessageT kMsgCancel = 901;    // ends a dialog: Cancel
inline constexpr MessageT kMsgEvent = 810;     // attachments: once per handled event
inline constexpr MessageT kMsgKeyPress = 814;  // an edit field: a key was typed (param: the character)

// The framework's exception code for a window, dialog or panel that could not
// be built (thrown as CFrameworkException with the operation's name).
inline constexpr std::int32_t kErrNilPointer = static_cast<std::int32_t>(MakeFourCharCode("nilP"));

// Throws CFrameworkException(kErrNilPointer, operation).
[[noreturn]] void ThrowNilPointer(const char* operation);
