// The road of one text from its input's bytes to its output's, chosen once
// the input's encoding is known:
//
//   input bytes -> decoder -> WidthStream -> encoder -> ByteSink
//
// Code page 936 and UTF-8 go through as they are when the output is in the
// same encoding (UTF-8 checked for validity where the encoding was only
// guessed); any other text is decoded into the program's text (code page 936
// with GB18030's four-byte forms), converted, and encoded in the output's
// encoding. A byte-order mark of the input is left out of the text, and the
// output gets its own where the input had one. Every step works piece by
// piece, so memory does not grow with the input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "convert/width_stream.h"
#include "text/encoding.h"
#include "text/transcode.h"

namespace tornix {

// Where the output's bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when they cannot be taken; the sink keeps its reason. The bytes
    // stay as they are until the next call has returned (or the writer is
    // gone), so that a sink may still be writing them meanwhile.
    virtual bool Write(std::string_view bytes) = 0;
};

// The text on its way, before and after the conversion, in the form the
// stream converts it (`TextTap::utf8`: UTF-8, else the program's code page
// 936 text); for a diff.
class TextTap {
public:
    virtual ~TextTap() = default;
    virtual void Before(std::string_view text) = 0;
    virtual void After(std::string_view text) = 0;
    bool utf8 = false;
};

// Why a conversion stopped.
struct Stop {
    enum class Why {
        kInvalidInput,    // a byte that is no character of an encoding that was only guessed
        kCannotEncode,    // the output's encoding cannot hold what the text holds
        kOutput,          // the sink failed (it has its reason)
        kSpill,           // held-back white space could not go to its temporary file
        kOnlyWhiteSpace,  // --trim left nothing
    };
    Why why;
    std::uint64_t at = 0;  // kInvalidInput: the byte's offset among the input's bytes, its mark included
    int error = 0;         // kSpill: the system's code
};

class Pipeline {
public:
    // `guessed`: the encoding was decided by the rule, not named with -e.
    Pipeline(const ConvertRequest& request, FileEncoding in, bool guessed, ByteSink& sink, HeldSpill* spill,
             TextTap* tap);

    // The input's next bytes (the mark included, where it begins them); `at`:
    // where they begin among all its bytes.
    std::optional<Stop> Write(std::string_view bytes, std::uint64_t at);
    // The end of the input.
    std::optional<Stop> Finish();

    Charset output() const noexcept { return m_out; }
    // After kCannotEncode: the first character the output's encoding lacks,
    // where its encoder names one.
    const std::optional<Unencodable>& lacked() const noexcept { return m_lacked; }

private:
    std::optional<Stop> Convert();
    std::optional<Stop> Refuse(std::optional<std::uint64_t> invalid) const;
    std::optional<Stop> StreamStopped() const;
    bool Emit(std::string_view text);
    bool WriteMark();
    bool WriteEncoded();

    const ConvertRequest& m_request;
    ByteSink& m_sink;
    TextTap* m_tap;
    Charset m_out;
    bool m_strictInput;   // stop at a byte that is no character
    bool m_strictOutput;  // stop at what the output's encoding cannot hold
    bool m_cannotEncode = false;
    std::optional<Unencodable> m_lacked;
    std::size_t m_markLength = 0;  // the input's byte-order mark, left out of the text
    std::string_view m_mark;       // the output's byte-order mark, until written
    std::optional<TextDecoder> m_decoder;
    std::optional<TextEncoder> m_encoder;
    std::optional<Utf8Validator> m_validator;  // UTF-8 converted as it is, when its validity is asked for
    std::optional<WidthStream> m_stream;
    std::string m_text;        // decoded, for the stream
    std::string m_encoded[2];  // for the sink, in turn: the other one went to it last
    int m_filling = 0;
};

}  // namespace tornix
