// The plain loops of the conversions under a policy, a character at a time:
// the kernels of the plain tier, and the end of every text for the wider
// ones, which hand over what they carry (ContextCarry).
#include <cstddef>
#include <cstring>

#include "policy_steps.h"
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

// The form of the code page 936 character at `at` to half width, or null
// when it has none.
const HalfForm* PairForm(const HalfTable& forms, const unsigned char* at) {
    const std::uint8_t slot = forms.leadSlot[at[0]];
    if (slot == 0) return nullptr;
    const HalfForm& form = forms.forms[slot - 1][at[1]];
    const bool itself = form.length == 2 && Byte(form.bytes, 0) == at[0] && Byte(form.bytes, 1) == at[1];
    return itself ? nullptr : &form;
}

// The same of the UTF-8 character at `at`, which has two bytes after it.
const HalfForm* Utf8CharacterForm(const Utf8HalfTable& forms, const unsigned char* at) {
    const std::uint8_t first = forms.firstSlot[at[0]];
    if (first == 0 || (at[1] & 0xC0) != 0x80 || (at[2] & 0xC0) != 0x80) return nullptr;
    const std::uint8_t group = forms.group[first - 1][at[1] & 0x3F];
    if (group == 0) return nullptr;
    const HalfForm& form = forms.forms[group - 1][at[2] & 0x3F];
    return form.length == 3 && std::memcmp(form.bytes, at, 3) == 0 ? nullptr : &form;
}

// Where two spaces begin a run that the classic table turns into U+3000s by
// three; a space alone is written from the forms.
bool StartsSpaceTriples(const unsigned char* in, std::size_t i, std::size_t size, const PolicyTables& policy) {
    return policy.fullSpaces == SpaceRule::kTriples && in[i] == ' ' && i + 1 < size && in[i + 1] == ' ';
}

void WriteForm(const HalfForm& form, char*& out) {
    std::memcpy(out, form.bytes, sizeof form.bytes);
    out += form.length;
}

}  // namespace

char* ToFullWidthPolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextCarry carry) {
    static constexpr char kSpace[2] = {static_cast<char>(kFullSpaceLead), static_cast<char>(kFullSpaceTrail)};
    std::size_t i = 0;
    bool cjkBefore = TakeSeeds(in, i, size, out, carry.seeds);
    while (i < size) {
        const unsigned char byte = in[i];
        if (IsLeadByte(byte) && i + 1 < size) {
            std::memcpy(out, in + i, 2);
            out += 2;
            cjkBefore = IsCjkPair(byte, in[i + 1]);
            i += 2;
        } else if (StartsSpaceTriples(in, i, size, policy)) {
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitPolicySpaces(out, run, policy.fullSpaces, kSpace, 2);
            i += run;
        } else {
            // Without a branch on the rule but for context (see fullForms).
            if (RuleOf(policy.full, byte) == Rule::kByContext && !cjkBefore &&
                !CjkPairFrom(in, i + 1, size, carry.after)) {
                *out++ = static_cast<char>(byte);
            } else {
                std::memcpy(out, policy.fullForms.full[byte], 2);
                out += policy.fullForms.length[byte];
            }
            cjkBefore = cjkBefore && byte == ' ';
            ++i;
        }
    }
    return out;
}

char* ToHalfWidthPolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextCarry carry) {
    const HalfTable& forms = HalfFormsOf(policy.table);
    std::size_t i = 0;
    bool cjkBefore = TakeSeeds(in, i, size, out, carry.seeds);
    while (i < size) {
        const unsigned char byte = in[i];
        if (!IsLeadByte(byte) || i + 1 == size) {
            *out++ = static_cast<char>(byte);
            cjkBefore = cjkBefore && byte == ' ';
            ++i;
            continue;
        }
        const HalfForm* form = PairForm(forms, in + i);
        const auto after = [&] { return CjkPairFrom(in, i + 2, size, carry.after); };
        if (form != nullptr && ConvertsToHalf(RuleOf(policy.half, Byte(form->bytes, 0)), cjkBefore, after)) {
            WriteForm(*form, out);
        } else {
            std::memcpy(out, in + i, 2);
            out += 2;
        }
        cjkBefore = IsCjkPair(byte, in[i + 1]);
        i += 2;
    }
    return out;
}

char* ToFullWidthUtf8PolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextCarry carry) {
    std::size_t i = 0;
    bool cjkBefore = TakeSeeds(in, i, size, out, carry.seeds);
    while (i < size) {
        const unsigned char byte = in[i];
        if (StartsSpaceTriples(in, i, size, policy)) {
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitPolicySpaces(out, run, policy.fullSpaces, kUtf8FullSpace.bytes, 3);
            i += run;
        } else if (i + 2 < size && IsCjkUtf8(in + i)) {
            std::memcpy(out, in + i, 3);
            out += 3;
            cjkBefore = true;
            i += 3;
        } else {
            if (RuleOf(policy.full, byte) == Rule::kByContext && !cjkBefore &&
                !CjkUtf8From(in, i + 1, size, carry.after)) {
                *out++ = static_cast<char>(byte);
            } else {
                std::memcpy(out, policy.utf8FullForms.form[byte], 4);
                out += policy.utf8FullForms.length[byte];
            }
            cjkBefore = cjkBefore && byte == ' ';
            ++i;
        }
    }
    return out;
}

char* ToHalfWidthUtf8PolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextCarry carry) {
    const Utf8HalfTable& forms = Utf8HalfFormsOf(policy.table);
    std::size_t i = 0;
    bool cjkBefore = TakeSeeds(in, i, size, out, carry.seeds);
    while (i < size) {
        const HalfForm* form = i + 2 < size ? Utf8CharacterForm(forms, in + i) : nullptr;
        const bool cjk = form == nullptr && i + 2 < size && IsCjkUtf8(in + i);
        if (form == nullptr && !cjk) {
            cjkBefore = cjkBefore && in[i] == ' ';
            *out++ = static_cast<char>(in[i++]);
            continue;
        }
        const auto after = [&] { return CjkUtf8From(in, i + 3, size, carry.after); };
        if (form != nullptr && ConvertsToHalf(RuleOf(policy.half, Byte(form->bytes, 0)), cjkBefore, after)) {
            WriteForm(*form, out);
        } else {
            std::memcpy(out, in + i, 3);
            out += 3;
        }
        cjkBefore = cjk;
        i += 3;
    }
    return out;
}

char* ToFullWidthPolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                              ContextEdges edges) {
    return ToFullWidthPolicyTail(in, size, out, policy, {edges.cjkBefore ? 1u : 0u, edges.cjkAfter});
}

char* ToHalfWidthPolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                              ContextEdges edges) {
    return ToHalfWidthPolicyTail(in, size, out, policy, {edges.cjkBefore ? 1u : 0u, edges.cjkAfter});
}

char* ToFullWidthUtf8PolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                  ContextEdges edges) {
    return ToFullWidthUtf8PolicyTail(in, size, out, policy, {edges.cjkBefore ? 1u : 0u, edges.cjkAfter});
}

char* ToHalfWidthUtf8PolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                  ContextEdges edges) {
    return ToHalfWidthUtf8PolicyTail(in, size, out, policy, {edges.cjkBefore ? 1u : 0u, edges.cjkAfter});
}

}  // namespace tornix::kernels
