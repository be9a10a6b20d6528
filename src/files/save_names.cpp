#include "files/save_names.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace tornix {
namespace {

using NativeString = fs_os::NativeString;
using NativeChar = NativeString::value_type;

constexpr std::size_t kLongestName = 255;  // units in one name, on the usual file systems
constexpr std::string_view kTempTag = ".tornix-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::string_view kBackupEnd = ".tornix-backup";
constexpr std::size_t kRandomDigits = 12;

NativeString Native(std::string_view ascii) {
    return NativeString(ascii.begin(), ascii.end());
}

// A unit that continues a character (UTF-8 or UTF-16), where a name is not cut.
template <typename Unit>
bool ContinuesCharacter(Unit unit) {
    if constexpr (sizeof(Unit) == 1) {
        return (static_cast<unsigned char>(unit) & 0xC0) == 0x80;
    } else {
        return unit >= 0xDC00 && unit <= 0xDFFF;  // a low surrogate
    }
}

// `name`, cut at a character's start so that `room` units are left.
NativeString Shortened(NativeString name, std::size_t extra) {
    const std::size_t room = kLongestName - extra;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && ContinuesCharacter(name[cut])) --cut;
        name.resize(cut);
    }
    return name;
}

std::uint64_t Mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A clash is harmless: creating the file fails and the writer tries again.
NativeString RandomDigits() {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t local = reinterpret_cast<std::uintptr_t>(&counter);
    std::uint64_t bits = Mix(now ^ Mix(counter.fetch_add(1) ^ Mix(local)));
    static const char kDigits[] = "0123456789abcdef";
    NativeString digits;
    for (std::size_t i = 0; i < kRandomDigits; ++i, bits >>= 4) digits += static_cast<NativeChar>(kDigits[bits & 15]);
    return digits;
}

}  // namespace

NativeString TempPrefix(const NativeString& name) {
    return Native(".") + Shortened(name, 1 + kTempTag.size() + kRandomDigits + kTempEnd.size()) + Native(kTempTag);
}

NativeString TempName(const NativeString& name) {
    return TempPrefix(name) + RandomDigits() + Native(kTempEnd);
}

bool IsTempName(const NativeString& candidate, const NativeString& prefix) {
    if (candidate.size() != prefix.size() + kRandomDigits + kTempEnd.size()) return false;
    if (candidate.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + kRandomDigits; ++i) {
        const NativeChar c = candidate[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return candidate.compare(prefix.size() + kRandomDigits, kTempEnd.size(), Native(kTempEnd)) == 0;
}

bool IsSaveName(const NativeString& candidate) {
    const NativeString backupEnd = Native(kBackupEnd);
    if (candidate.size() > backupEnd.size() &&
        candidate.compare(candidate.size() - backupEnd.size(), backupEnd.size(), backupEnd) == 0) {
        return true;
    }
    const std::size_t tail = kTempTag.size() + kRandomDigits + kTempEnd.size();
    if (candidate.size() <= 1 + tail || candidate[0] != '.') return false;
    const NativeString prefix = candidate.substr(0, candidate.size() - kRandomDigits - kTempEnd.size());
    const NativeString tag = Native(kTempTag);
    return prefix.compare(prefix.size() - tag.size(), tag.size(), tag) == 0 && IsTempName(candidate, prefix);
}

NativeString BackupNameBeside(const NativeString& name) {
    return Shortened(name, kBackupEnd.size()) + Native(kBackupEnd);
}

NativeString BackupPrefixByIdentity(const fs_os::FileIdentity& identity) {
    return Native(std::to_string(identity.device) + "-" + std::to_string(identity.index) + "-");
}

NativeString BackupNameByIdentity(const fs_os::FileIdentity& identity, const NativeString& name) {
    const NativeString prefix = BackupPrefixByIdentity(identity);
    return prefix + Shortened(name, prefix.size());
}

}  // namespace tornix
