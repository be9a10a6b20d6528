#include "convert/width_stream.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "convert/width_context.h"
#include "text/gbk_string.h"

namespace tornix {

namespace {

// Input is converted at most this many bytes at a time (plus one to finish a
// character), which bounds the output area.
constexpr std::size_t kPieceLimit = std::size_t{256} << 10;
// Code page 936 text makes at most about two output bytes of one input byte
// (UTF-8 three); the area grows once if a kernel's bound asks for more.
constexpr std::size_t kOutCapacity = 2 * (kPieceLimit + 2) + 4096;
// Held-back white space kept in memory before older parts go to the spill file.
constexpr std::size_t kHeldLimit = std::size_t{1} << 20;
// Spaces are emitted in blocks of a multiple of three, so that every block but
// the last turns into whole U+3000s, as the one long run would.
constexpr std::size_t kSpaceBlock = std::size_t{3} << 10;

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// Where the trailing run of ASCII bytes matching `inRun` begins, counting
// only whole characters: the run's first byte may be the trail of a two-byte
// character. `text` begins on a character.
template <typename Pred>
std::size_t TrailingRunStart(std::string_view text, WidthEncoding encoding, Pred inRun) {
    const unsigned char* in = Bytes(text);
    std::size_t start = text.size();
    while (start > 0 && inRun(in[start - 1])) --start;
    if (start < text.size() && !BeginsCharacter(text, start, encoding)) ++start;
    return start;
}

std::string_view SpaceBlock() {
    static const std::string spaces(kSpaceBlock, ' ');
    return spaces;
}

bool IsSpace(unsigned char byte) {
    return byte == ' ';
}

// Whether the character at `at` of an aligned text is a CJK character.
bool IsCjkAt(std::string_view text, std::size_t at, WidthEncoding encoding) {
    const unsigned char* in = Bytes(text);
    if (encoding == WidthEncoding::kUtf8) return at + 2 < text.size() && IsCjkUtf8(in + at);
    return IsLeadByte(in[at]) && at + 1 < text.size() && IsCjkPair(in[at], in[at + 1]);
}

// Where the last character of `text` that is not a space begins, or npos.
std::size_t LastNonSpace(std::string_view text, WidthEncoding encoding) {
    const std::size_t end = TrailingRunStart(text, encoding, IsSpace);
    return end == 0 ? std::string_view::npos : LastCharacterStart(text.substr(0, end), encoding);
}

}  // namespace

// Bytes written but not yet drained; grows up to its limit, then drains.
struct WidthStream::Area {
    explicit Area(std::size_t limit) : limit(limit) {}
    std::vector<char> bytes;
    std::size_t used = 0;
    std::size_t limit;
};

WidthStream::WidthStream(WidthDirection direction, bool trim, Sink sink, WidthEncoding encoding, HeldSpill* spill,
                         const WidthPolicy& policy)
    : m_direction(direction),
      m_converter(direction, encoding, policy),
      m_trim(trim),
      m_sink(std::move(sink)),
      m_out{std::make_unique<Area>(kOutCapacity), std::make_unique<Area>(kOutCapacity)},
      m_held(std::make_unique<Area>(spill != nullptr ? kHeldLimit : std::numeric_limits<std::size_t>::max())),
      m_spill(spill),
      m_encoding(encoding) {}

WidthStream::~WidthStream() = default;

bool WidthStream::Write(std::string_view bytes) {
    while (!bytes.empty() && m_failure == Failure::kNone) {
        if (!m_unfinished.empty()) {
            JoinUnfinished(bytes);
            continue;
        }
        // A piece ends before a character that it would cut; at the end of
        // `bytes`, that character waits for the next Write().
        const std::size_t size = std::min(bytes.size(), kPieceLimit);
        const std::size_t cut = size - UnfinishedTail(bytes.substr(0, size), m_encoding);
        ConvertAligned(bytes.substr(0, cut));
        if (size == bytes.size()) m_unfinished.assign(bytes.substr(cut));
        bytes.remove_prefix(size == bytes.size() ? size : cut);
    }
    DrainOut();
    return m_failure == Failure::kNone;
}

// Takes the next byte into the unfinished character, or converts its bytes
// each as a character of its own if the byte shows that they begin none.
void WidthStream::JoinUnfinished(std::string_view& bytes) {
    const Continuation next = ContinueCharacter(m_unfinished, bytes.front(), m_encoding);
    if (next != Continuation::kBroken) {
        m_unfinished += bytes.front();
        bytes.remove_prefix(1);
        if (next == Continuation::kUnfinished) return;
    }
    ConvertAligned(m_unfinished);
    m_unfinished.clear();
}

bool WidthStream::Finish() {
    if (!m_unfinished.empty()) {
        ConvertAligned(m_unfinished);  // cut short by the end: its bytes are characters
        m_unfinished.clear();
    }
    if (!m_waiting.empty()) ReleaseWaiting(false);
    if (m_trim) {
        DropHeld();
    } else {
        EmitSpaces(Target::kOut);
    }
    DrainOut();
    return m_failure == Failure::kNone;
}

// `piece` begins and ends on character boundaries.
void WidthStream::ConvertAligned(std::string_view piece) {
    if (!m_converter.byContext()) {
        Pass(piece, {});
        return;
    }
    // By context: the last character that is not a space waits, with the
    // spaces after it, until the next one shows what stands after it.
    const std::size_t first = std::find_if_not(piece.begin(), piece.end(), IsSpace) - piece.begin();
    if (first == piece.size() && !m_waiting.empty()) {
        m_waitingSpaces += piece.size();
        return;
    }
    if (!m_waiting.empty()) ReleaseWaiting(IsCjkAt(piece, first, m_encoding));
    const std::size_t last = LastNonSpace(piece, m_encoding);
    if (last == std::string_view::npos) {
        Pass(piece, {});
        return;
    }
    const bool lastCjk = IsCjkAt(piece, last, m_encoding);
    const std::string_view before = piece.substr(0, last);
    const std::size_t previous = LastNonSpace(before, m_encoding);
    m_waitingBefore = previous == std::string_view::npos ? m_cjkBefore : IsCjkAt(before, previous, m_encoding);
    Pass(before, {m_cjkBefore, lastCjk});
    const std::size_t end = TrailingRunStart(piece, m_encoding, IsSpace);
    m_waiting.assign(piece.substr(last, end - last));
    m_waitingSpaces = piece.size() - end;
    m_cjkBefore = lastCjk;
}

// Converts the waiting character, now that what stands after it is known,
// and the spaces after it.
void WidthStream::ReleaseWaiting(bool cjkAfter) {
    Pass(m_waiting, {m_waitingBefore, cjkAfter});
    m_waiting.clear();
    while (m_waitingSpaces > 0) {
        const auto block = static_cast<std::size_t>(std::min<std::uint64_t>(m_waitingSpaces, kSpaceBlock));
        Pass(SpaceBlock().substr(0, block), {});
        m_waitingSpaces -= block;
    }
}

// Converts an aligned piece as the next part of the text, trimmed when
// asked. What is trimmed off is white space, never a CJK character, so the
// edges only lose what white space stands between.
void WidthStream::Pass(std::string_view piece, ContextEdges edges) {
    if (!m_trim) {
        Feed(piece, Target::kOut, edges);
        return;
    }
    if (m_atStart) {
        const auto* in = Bytes(piece);
        std::size_t skip = 0;
        while (skip < piece.size() && IsTrimSpace(in[skip])) ++skip;
        piece.remove_prefix(skip);
        if (piece.empty()) return;
        m_atStart = false;
    }
    const std::size_t white = TrailingRunStart(piece, m_encoding, IsTrimSpace);
    if (white > 0) {
        // Something that is not white space follows what was held back.
        ReleaseHeld();
        const std::string_view tail = piece.substr(white);
        const bool spacesOnly = std::all_of(tail.begin(), tail.end(), IsSpace);
        Feed(piece.substr(0, white), Target::kOut, {edges.cjkBefore, spacesOnly && edges.cjkAfter});
    }
    Feed(piece.substr(white), Target::kHeld, {});
}

// Converts an aligned piece that continues the text written to `target`.
// ToFullWidth cannot convert a run of spaces before it has seen its end, so a
// trailing run is only counted, and joined by the spaces that open the next
// piece.
void WidthStream::Feed(std::string_view piece, Target target, ContextEdges edges) {
    if (m_direction == WidthDirection::kToHalf) {
        Convert(piece, target, edges);
        return;
    }
    if (m_spaces > 0) {
        const std::size_t leading =
            std::find_if(piece.begin(), piece.end(), [](char c) { return c != ' '; }) - piece.begin();
        m_spaces += leading;
        piece.remove_prefix(leading);
        if (piece.empty()) return;
        EmitSpaces(target);
    }
    const std::size_t spaces = TrailingRunStart(piece, m_encoding, IsSpace);
    Convert(piece.substr(0, spaces), target, edges);
    m_spaces += piece.size() - spaces;
}

// The kernels may write anywhere up to their bound, so the room asked for is
// the bound, never the expected size; the bound for the size alone, which the
// output area is made for, saves reading the piece twice.
void WidthStream::Convert(std::string_view piece, Target target, ContextEdges edges) {
    if (piece.empty()) return;
    char* out = Room(target, m_converter.BoundForSize(piece.size()));
    Advance(target, m_converter.Into(piece, out, edges));
}

// Emits the counted run of spaces, converted as one run.
void WidthStream::EmitSpaces(Target target) {
    while (m_spaces > 0) {
        const std::size_t block = static_cast<std::size_t>(std::min<std::uint64_t>(m_spaces, kSpaceBlock));
        Convert(SpaceBlock().substr(0, block), target, {});
        m_spaces -= block;
    }
}

// Hands the held-back white space to the output, the spilled part first.
void WidthStream::ReleaseHeld() {
    if (m_spilled) {
        const int code = m_spill->ReadBack([this](std::string_view bytes) {
            // In blocks that fit the output area, so that it never grows.
            for (std::size_t from = 0; from < bytes.size(); from += kPieceLimit) {
                const std::size_t block = std::min(kPieceLimit, bytes.size() - from);
                char* out = Room(Target::kOut, block);
                std::copy_n(bytes.data() + from, block, out);
                Advance(Target::kOut, out + block);
            }
        });
        if (code != 0) Fail(Failure::kHoldSpill, code);
        m_spill->Clear();
        m_spilled = false;
    }
    // In blocks that fit the output area, so that it never grows.
    for (std::size_t from = 0; from < m_held->used; from += kPieceLimit) {
        const std::size_t block = std::min(kPieceLimit, m_held->used - from);
        char* out = Room(Target::kOut, block);
        std::copy_n(m_held->bytes.data() + from, block, out);
        Advance(Target::kOut, out + block);
    }
    m_held->used = 0;
}

void WidthStream::DropHeld() {
    if (m_spilled) {
        m_spill->Clear();
        m_spilled = false;
    }
    m_held->used = 0;
    m_spaces = 0;
}

// Room for `bytes` more bytes in the target's area, draining it first when it
// would pass its limit. After a failure the area keeps being reused and its
// bytes are dropped.
char* WidthStream::Room(Target target, std::size_t bytes) {
    const Area& full = AreaOf(target);
    if (full.used > 0 && full.used + bytes > full.limit) {
        if (target == Target::kOut) {
            DrainOut();
        } else {
            SpillHeld();
        }
    }
    Area& area = AreaOf(target);
    if (area.bytes.size() < area.used + bytes) area.bytes.resize(area.used + bytes);
    return area.bytes.data() + area.used;
}

void WidthStream::Advance(Target target, char* end) {
    Area& area = AreaOf(target);
    area.used = static_cast<std::size_t>(end - area.bytes.data());
}

WidthStream::Area& WidthStream::AreaOf(Target target) {
    return target == Target::kOut ? *m_out[m_filling] : *m_held;
}

// Hands the area being filled to the sink and goes on in the other one,
// which the sink has finished with once its call returned.
void WidthStream::DrainOut() {
    Area& area = *m_out[m_filling];
    const std::size_t used = std::exchange(area.used, 0);
    if (used == 0 || m_failure != Failure::kNone) return;
    m_filling ^= 1;
    if (!m_sink(std::string_view(area.bytes.data(), used))) Fail(Failure::kSink);
}

void WidthStream::SpillHeld() {
    const std::size_t used = std::exchange(m_held->used, 0);
    if (m_failure != Failure::kNone) return;
    m_spilled = true;
    if (int code = m_spill->Append(std::string_view(m_held->bytes.data(), used))) Fail(Failure::kHoldSpill, code);
}

void WidthStream::Fail(Failure failure, int error) {
    if (m_failure != Failure::kNone) return;
    m_failure = failure;
    m_spillError = error;
}

}  // namespace tornix
