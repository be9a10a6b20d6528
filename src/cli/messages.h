// What tornix-convert says on standard error, in one place: names quoted as
// the user gave them (with what a terminal would act on shown escaped), the
// system's reasons, and why a save failed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "files/safe_writer.h"
#include "text/encoding.h"

namespace tornix {

inline constexpr std::string_view kStandardInput = "-";

// Writes all of `bytes` to a standard stream; 0 or the system's error code.
int WriteTo(fs_os::NativeHandle stream, std::string_view bytes);

// A file named on the command line. Windows' entry point passes its wide
// arguments as WTF-8; elsewhere the bytes are the name as they are.
std::filesystem::path PathOf(std::string_view name);

// 'name', its control characters (and, for a UTF-8 terminal, bytes that are
// no UTF-8) shown as \xNN, so that no name can move the cursor or clear the
// screen. Example: Quoted("a\x1B[2Jb") is 'a\x1B[2Jb' with the escape spelled out.
std::string Quoted(std::string_view name, Charset terminal = Charset::kUtf8);

// "standard input" for "-", else the quoted name.
std::string InputName(std::string_view name, Charset terminal = Charset::kUtf8);

// The system's words for an error code, or, for 0 where the system gave
// none, the same words on every platform (not a code of another's).
std::string Reason(int error);

// "tornix-convert: WHAT: REASON\n".
std::string Message(std::string_view what, std::string_view reason);

// Why a save failed, as the message says it after the file's name.
std::string SaveFailure(const SafeFileWriter& writer);

}  // namespace tornix
