#include "cli/text_conversion.h"

#include "cli/help_text.h"
#include "cli/messages.h"

namespace tornix {

TextConversion::TextConversion(const ConvertRequest& request, Charset allAscii, ByteSink& sink, HeldSpill* spill,
                               TextTap* tap)
    : m_request(request), m_rule(allAscii), m_sink(sink), m_spill(spill), m_tap(tap) {}

void TextConversion::BeginInput(std::string shown) {
    m_inputName = std::move(shown);
    m_inputStart = m_taken;
}

std::optional<Stop> TextConversion::Feed(std::string_view bytes) {
    const std::uint64_t at = m_taken;
    m_taken += bytes.size();
    if (m_pipeline) return m_pipeline->Write(bytes, at);
    if (m_start.empty()) m_start.reserve(kDecidingStart + bytes.size());  // grown once, not copied on the way
    m_start.append(bytes);
    std::optional<FileEncoding> decided;
    if (m_request.encoding) {
        // A named encoding's mark is the start's, once four bytes can tell.
        const Charset named = *m_request.encoding;
        const bool marked = named != Charset::kGbk && EncodingFromByteOrderMark(m_start) == FileEncoding{named, true};
        if (marked || named == Charset::kGbk || m_start.size() >= 4) decided = FileEncoding{named, marked};
    } else {
        decided = m_rule.Take(bytes);
    }
    if (!decided) return std::nullopt;
    return Start(*decided);
}

std::optional<Stop> TextConversion::Finish() {
    if (!m_pipeline) {
        FileEncoding decided{m_request.encoding.value_or(Charset::kGbk), false};
        if (m_request.encoding) {
            decided.byteOrderMark = *m_request.encoding != Charset::kGbk &&
                                    EncodingFromByteOrderMark(m_start) == FileEncoding{*m_request.encoding, true};
        } else {
            decided = m_rule.Finish();
        }
        if (auto stop = Start(decided)) return stop;
    }
    return m_pipeline->Finish();
}

std::optional<Stop> TextConversion::Start(FileEncoding decided) {
    m_in = decided;
    m_pipeline.emplace(m_request, decided, !m_request.encoding, m_sink, m_spill, m_tap);
    const std::string start = std::move(m_start);
    m_start.clear();
    return m_pipeline->Write(start, 0);
}

std::string TextConversion::Explain(const Stop& stop, Charset terminal) const {
    switch (stop.why) {
        case Stop::Why::kInvalidInput: {
            const std::uint64_t at = stop.at > m_inputStart ? stop.at - m_inputStart : 0;
            return Message(m_inputName, "not valid " + std::string(RecordOf(m_in->charset).title) + " at byte " +
                                            std::to_string(at) + " (name the input's encoding with -e)");
        }
        case Stop::Why::kCannotEncode:
            if (m_pipeline->lacked()) return UnencodableMessage(*m_pipeline->lacked(), m_pipeline->output(), terminal);
            return "tornix-convert: the text holds what " + std::string(RecordOf(m_pipeline->output()).title) +
                   " cannot hold (choose another with --output-encoding)\n";
        case Stop::Why::kSpill:
            return Message("cannot hold back white space in a temporary file", Reason(stop.error));
        case Stop::Why::kOnlyWhiteSpace:
            return EmptyTextMessage(terminal);
        case Stop::Why::kOutput:
            break;
    }
    return {};
}

}  // namespace tornix
