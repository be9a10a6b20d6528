#include "in_process.h"

#include <fcntl.h>
#include <unistd.h>

namespace tornix::testing {

Outcome InProcess::Run(const std::vector<std::string>& args, const std::string& input, Charset terminal,
                       Charset locale) {
    const std::string inPath = m_io.Put("stdin", input).string();
    ProgramStreams streams;
    streams.input = ::open(inPath.c_str(), O_RDONLY);
    streams.output = ::open((m_io.path() / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    streams.errors = ::open((m_io.path() / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    streams.terminal = terminal;
    streams.localeText = locale;
    Outcome outcome{RunTornixConvert(args, streams), "", ""};
    for (auto fd : {streams.input, streams.output, streams.errors}) ::close(static_cast<int>(fd));
    outcome.out = ReadBytes(m_io.path() / "stdout");
    outcome.err = ReadBytes(m_io.path() / "stderr");
    return outcome;
}

}  // namespace tornix::testing
