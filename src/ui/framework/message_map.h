// Message maps: a table per dialog class from (message, notification, control
// id) to a handler member, looked up when the window receives a message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <variant>
#include <vector>

#include "ui/framework/afx.h"

namespace tornix {

class CDialog;

using CommandHandler = void (CDialog::*)();
using SysCommandHandler = void (CDialog::*)(unsigned id, std::intptr_t param);
using DragIconHandler = IconHandle (CDialog::*)();

// The files of one drop, in the order the file manager gave them (at least
// one). A back end sends WM_DROPFILES with wParam pointing to them.
using DroppedFiles = std::vector<std::filesystem::path>;
using DropFilesHandler = void (CDialog::*)(const DroppedFiles& files);

struct MessageMapEntry {
    unsigned message;  // WM_COMMAND, WM_SYSCOMMAND, WM_PAINT, WM_QUERYDRAGICON, WM_DROPFILES
    unsigned code;     // notification code for WM_COMMAND (BN_CLICKED), else 0
    unsigned id;       // control or command id for WM_COMMAND, else 0
    std::variant<CommandHandler, SysCommandHandler, DragIconHandler, DropFilesHandler> handler;
};

struct MessageMap {
    const MessageMapEntry* entries;
    std::size_t count;
};

// Entry builders: the handler of a derived dialog class is stored as a member
// of CDialog, as the framework's own maps do.
template <class Dialog>
MessageMapEntry MapClicked(unsigned id, void (Dialog::*handler)()) {
    return {WM_COMMAND, BN_CLICKED, id, static_cast<CommandHandler>(handler)};
}
template <class Dialog>
MessageMapEntry MapCommand(unsigned id, void (Dialog::*handler)()) {
    return {WM_COMMAND, 0, id, static_cast<CommandHandler>(handler)};
}
template <class Dialog>
MessageMapEntry MapSysCommand(void (Dialog::*handler)(unsigned, std::intptr_t)) {
    return {WM_SYSCOMMAND, 0, 0, static_cast<SysCommandHandler>(handler)};
}
template <class Dialog>
MessageMapEntry MapPaint(void (Dialog::*handler)()) {
    return {WM_PAINT, 0, 0, static_cast<CommandHandler>(handler)};
}
template <class Dialog>
MessageMapEntry MapQueryDragIcon(IconHandle (Dialog::*handler)()) {
    return {WM_QUERYDRAGICON, 0, 0, static_cast<DragIconHandler>(handler)};
}
// Files dropped onto the window: a dialog with this entry accepts them.
template <class Dialog>
MessageMapEntry MapDropFiles(void (Dialog::*handler)(const DroppedFiles&)) {
    return {WM_DROPFILES, 0, 0, static_cast<DropFilesHandler>(handler)};
}

}  // namespace tornix
