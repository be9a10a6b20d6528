// WidthStream: ToFullWidth or ToHalfWidth of a text that arrives in pieces of
// any size, for filters that must not hold the whole text; of code page 936
// text, or of UTF-8 text (ToFullWidthUtf8, ToHalfWidthUtf8). The bytes handed
// to the sink are exactly the whole-text conversion of everything written, in
// memory that does not grow with the input:
//
//   - a character split between two Write() calls is joined first
//     (character_cuts.h);
//   - a run of spaces (ToFullWidth turns each three into one U+3000) is
//     counted, not buffered, until the first character after it;
//   - a lead byte that ends the input stays a one-byte character, and so
//     does each byte of a UTF-8 character that the input cuts short;
//   - under a policy with context, the last character that is not a space
//     waits (with a count of the spaces after it) for the next one, which
//     says what stands after it (width_context.h).
//
// With `trim`, the result is that of TrimLeft() and TrimRight() on the whole
// text followed by the conversion: leading white space is dropped as it
// arrives, and a run of white space is held back until a character that is
// not white space follows it (and dropped at the end). Beyond 1 MiB, the
// older part of a held-back run goes to the caller's HeldSpill (a temporary
// file) instead of memory.
//
// Example: Write("a  "), Write(" b\xA3"), Write("\xC1"), Finish() with
// kToFull gives «ａ　ｂＡ» — the same as ToFullWidth("a   b\xA3\xC1").
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "convert/character_cuts.h"
#include "convert/width_converter.h"

namespace tornix {

// Where WidthStream keeps the older part of a long held-back run of white
// space, in order: typically a temporary file, which this layer does not make
// itself.
class HeldSpill {
public:
    virtual ~HeldSpill() = default;
    // Adds bytes at the end; 0 or the system's error code.
    virtual int Append(std::string_view bytes) = 0;
    // Hands everything appended since the last Clear() to `take`, in order and
    // in pieces; 0 or the system's error code.
    virtual int ReadBack(const std::function<void(std::string_view)>& take) = 0;
    // Forgets everything appended.
    virtual void Clear() = 0;
};

class WidthStream {
public:
    // Receives the converted bytes in order, in pieces of any size. Returns
    // false to stop the stream; the sink keeps the reason itself. A piece
    // stays as it is until the sink's next call has returned (or the stream
    // is gone), so that a sink may still be writing it while the next one
    // converts.
    using Sink = std::function<bool(std::string_view)>;

    enum class Failure {
        kNone,
        kSink,       // the sink returned false
        kHoldSpill,  // the spill for held-back white space failed
    };

    // Without a spill, held-back white space stays in memory however long it
    // is. The conversion follows `policy` (width_policy.h).
    WidthStream(WidthDirection direction, bool trim, Sink sink, WidthEncoding encoding = WidthEncoding::kGbk,
                HeldSpill* spill = nullptr, const WidthPolicy& policy = {});
    ~WidthStream();
    WidthStream(const WidthStream&) = delete;
    WidthStream& operator=(const WidthStream&) = delete;

    // Converts the next bytes of the text. Output that is complete is handed
    // to the sink before this returns. False once the stream has failed.
    bool Write(std::string_view bytes);

    // Ends the text: hands over what was held back (or, with trim, drops the
    // trailing white space). False when the stream has failed.
    bool Finish();

    Failure failure() const noexcept { return m_failure; }
    // With trim: true until a character that is not white space has come, so
    // after Finish() true exactly when the result is empty.
    bool onlyWhiteSpace() const noexcept { return m_atStart; }
    // errno of a kHoldSpill failure.
    int spillError() const noexcept { return m_spillError; }

private:
    // A growable output area: kOut drains to the sink (from two areas in
    // turn), kHeld to the spill file.
    enum class Target { kOut, kHeld };
    struct Area;

    void JoinUnfinished(std::string_view& bytes);
    void ConvertAligned(std::string_view piece);
    void ReleaseWaiting(bool cjkAfter);
    void Pass(std::string_view piece, ContextEdges edges);
    void Feed(std::string_view piece, Target target, ContextEdges edges);
    void Convert(std::string_view piece, Target target, ContextEdges edges);
    void EmitSpaces(Target target);
    void ReleaseHeld();
    void DropHeld();

    char* Room(Target target, std::size_t bytes);
    void Advance(Target target, char* end);
    void DrainOut();
    void SpillHeld();
    void Fail(Failure failure, int error = 0);

    WidthDirection m_direction;
    WidthConverter m_converter;
    bool m_trim;
    Sink m_sink;

    Area& AreaOf(Target target);

    std::unique_ptr<Area> m_out[2];
    int m_filling = 0;             // the output area being filled; the other went to the sink last
    std::unique_ptr<Area> m_held;  // converted white space not yet known to be inner
    HeldSpill* m_spill;            // older held bytes beyond the in-memory limit
    bool m_spilled = false;        // m_spill holds bytes
    std::uint64_t m_spaces = 0;    // ToFullWidth: trailing spaces not yet emitted
    WidthEncoding m_encoding;
    std::string m_unfinished;  // a character whose last bytes have not arrived
    // By context: the last character that is not a space, waiting for the
    // next one; the spaces after it; whether the nearest character before
    // it, and before what follows, is CJK.
    std::string m_waiting;
    std::uint64_t m_waitingSpaces = 0;
    bool m_waitingBefore = false;
    bool m_cjkBefore = false;
    bool m_atStart = true;  // trim: nothing but white space seen so far
    Failure m_failure = Failure::kNone;
    int m_spillError = 0;
};

}  // namespace tornix
