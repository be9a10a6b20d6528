#include "cli/pipeline.h"

#include <algorithm>

namespace tornix {

Pipeline::Pipeline(const ConvertRequest& request, FileEncoding in, bool guessed, ByteSink& sink, HeldSpill* spill,
                   TextTap* tap)
    : m_request(request), m_sink(sink), m_tap(tap), m_out(request.outputEncoding.value_or(in.charset)) {
    if (in.byteOrderMark) m_markLength = ByteOrderMark(in.charset).size();
    // The same encoding both ways: the mark is kept, and bytes that are no
    // character of a named encoding pass through as they are.
    m_strictInput = (guessed && !in.byteOrderMark) || m_out != in.charset;
    m_strictOutput = m_out != in.charset;
    if (in.byteOrderMark && m_out != Charset::kGbk) m_mark = ByteOrderMark(m_out);
    const bool asItIs = m_out == in.charset && (m_out == Charset::kGbk || m_out == Charset::kUtf8);
    if (!asItIs) {
        m_decoder.emplace(in.charset);
        m_encoder.emplace(m_out);
    } else if (m_out == Charset::kUtf8 && m_strictInput) {
        m_validator.emplace();
    }
    const WidthEncoding form = asItIs && m_out == Charset::kUtf8 ? WidthEncoding::kUtf8 : WidthEncoding::kGbk;
    if (m_tap != nullptr) m_tap->utf8 = form == WidthEncoding::kUtf8;
    m_stream.emplace(
        request.direction, request.trim, [this](std::string_view text) { return Emit(text); }, form, spill,
        request.policy);
}

std::optional<Stop> Pipeline::Write(std::string_view bytes, std::uint64_t at) {
    if (at < m_markLength) {  // the mark is not part of the text
        bytes.remove_prefix(static_cast<std::size_t>(std::min<std::uint64_t>(m_markLength - at, bytes.size())));
    }
    if (m_decoder) {
        m_decoder->Decode(bytes, m_text);
        return Convert();
    }
    if (m_validator) {
        m_validator->Check(bytes);
        if (auto stop = Refuse(m_validator->firstInvalid())) return stop;
    }
    if (m_tap != nullptr) m_tap->Before(bytes);
    if (!m_stream->Write(bytes)) return StreamStopped();
    return std::nullopt;
}

std::optional<Stop> Pipeline::Finish() {
    if (m_decoder) {
        m_decoder->Finish(m_text);
        if (auto stop = Convert()) return stop;
    }
    if (m_validator) {
        m_validator->Finish();
        if (auto stop = Refuse(m_validator->firstInvalid())) return stop;
    }
    if (!m_stream->Finish()) return StreamStopped();
    if (m_encoder) m_encoder->Finish(m_encoded[m_filling]);
    if (!WriteMark() || (m_encoder && !WriteEncoded())) {
        return Stop{m_cannotEncode ? Stop::Why::kCannotEncode : Stop::Why::kOutput};
    }
    if (m_request.trim && m_stream->onlyWhiteSpace())
        return Stop{Stop::Why::kOnlyWhiteSpace};  // as the window refuses it
    return std::nullopt;
}

// Hands the decoded text on.
std::optional<Stop> Pipeline::Convert() {
    if (auto stop = Refuse(m_decoder->firstInvalid())) return stop;
    if (m_tap != nullptr) m_tap->Before(m_text);
    const bool written = m_stream->Write(m_text);
    m_text.clear();
    if (!written) return StreamStopped();
    return std::nullopt;
}

// Stops at the first byte that is no character of the input's encoding,
// where that ends the run.
std::optional<Stop> Pipeline::Refuse(std::optional<std::uint64_t> invalid) const {
    if (!m_strictInput || !invalid) return std::nullopt;
    return Stop{Stop::Why::kInvalidInput, *invalid + m_markLength};
}

std::optional<Stop> Pipeline::StreamStopped() const {
    if (m_cannotEncode) return Stop{Stop::Why::kCannotEncode};
    if (m_stream->failure() == WidthStream::Failure::kSink) return Stop{Stop::Why::kOutput};
    return Stop{Stop::Why::kSpill, 0, m_stream->spillError()};
}

// The converted text, to the sink. False when the sink failed or the
// output's encoding cannot hold the text (m_cannotEncode).
bool Pipeline::Emit(std::string_view text) {
    if (m_tap != nullptr) m_tap->After(text);
    if (!WriteMark()) return false;
    if (!m_encoder) return m_sink.Write(text);
    m_encoder->Encode(text, m_encoded[m_filling]);
    return WriteEncoded();
}

// The output's byte-order mark, before anything else.
bool Pipeline::WriteMark() {
    if (m_mark.empty()) return true;
    const std::string_view mark = m_mark;
    m_mark = {};
    return m_sink.Write(mark);
}

bool Pipeline::WriteEncoded() {
    m_lacked = m_encoder->firstUnencodable();  // never written
    if (m_lacked || (m_strictOutput && m_encoder->wroteBytesAsTheyAre())) {
        m_cannotEncode = true;
        return false;
    }
    if (m_encoded[m_filling].empty()) return true;
    const bool written = m_sink.Write(m_encoded[m_filling]);
    m_filling ^= 1;  // the sink has finished with the other one: its next call returned
    m_encoded[m_filling].clear();
    return written;
}

}  // namespace tornix
