// tornix-convert run in this process, with its standard streams in files of
// a scratch folder that are read back afterwards.
#pragma once

#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "support/scratch_dir.h"

namespace tornix::testing {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class InProcess {
public:
    // `input` is standard input; the terminal's and the locale's character sets as given.
    Outcome Run(const std::vector<std::string>& args, const std::string& input = "", Charset terminal = Charset::kUtf8,
                Charset locale = Charset::kGbk);

private:
    ScratchDir m_io;
};

}  // namespace tornix::testing
