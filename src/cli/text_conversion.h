// The bytes of one or more inputs, in order, as one text through one
// pipeline: the text's encoding is decided once, at its start, then the
// pipeline is made for it. An encoding named with -e decides at once (its
// byte-order mark still looked for); otherwise StartRule decides as the
// first MiB whole would, however the reads cut it, and nothing is converted
// before it has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/pipeline.h"
#include "text/encoding.h"

namespace tornix {

class TextConversion {
public:
    // `allAscii`: the character set of a text whose start tells nothing (the
    // locale's).
    TextConversion(const ConvertRequest& request, Charset allAscii, ByteSink& sink, HeldSpill* spill = nullptr,
                   TextTap* tap = nullptr);

    // The next input begins; `shown` is its name in messages.
    void BeginInput(std::string shown);
    // Its next bytes.
    std::optional<Stop> Feed(std::string_view bytes);
    // The end of the last input.
    std::optional<Stop> Finish();

    // The encoding the text was decided to be in, once it was.
    std::optional<FileEncoding> input() const noexcept { return m_in; }

    // The line that says why the conversion stopped, empty for kOutput (the
    // sink's owner says that).
    std::string Explain(const Stop& stop, Charset terminal) const;

private:
    std::optional<Stop> Start(FileEncoding decided);

    const ConvertRequest& m_request;
    StartRule m_rule;
    ByteSink& m_sink;
    HeldSpill* m_spill;
    TextTap* m_tap;
    std::optional<FileEncoding> m_in;
    std::optional<Pipeline> m_pipeline;
    std::string m_start;             // the text's start, while its encoding is undecided
    std::uint64_t m_taken = 0;       // bytes taken so far, all inputs
    std::uint64_t m_inputStart = 0;  // where the current input began among them
    std::string m_inputName;
};

}  // namespace tornix
