#include "files/pending_files.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>

#include "files/file_system.h"
#include "files/termination.h"

namespace tornix {
namespace {

constexpr std::size_t kSlots = 16;
constexpr std::size_t kLongestName = 4096;  // native units, with the closing NUL

// A slot goes kFree -> kFilling -> kArmed and back to kFree when its owner
// clears it. The removal takes an armed slot (kArmed -> kRemoving -> kRemoved),
// and the owner waits for it to finish before freeing the slot, so that a name
// is never rewritten while it is being removed.
enum SlotState : int { kFree, kFilling, kArmed, kRemoving, kRemoved };

struct Slot {
    std::atomic<int> state{kFree};
    std::filesystem::path::value_type name[kLongestName];
};

static_assert(std::atomic<int>::is_always_lock_free, "the removal runs in signal handlers");

Slot g_slots[kSlots];

}  // namespace

void RemovePendingFiles() noexcept {
    for (Slot& slot : g_slots) {
        int armed = kArmed;
        if (!slot.state.compare_exchange_strong(armed, kRemoving)) continue;
        fs_os::RemoveFileNow(slot.name);
        slot.state.store(kRemoved);
    }
}

void RemovePendingFilesOnTermination() {
    fs_os::RunOnTermination(&RemovePendingFiles);
}

void PendingFile::Set(const std::filesystem::path& path) {
    Clear();
    const std::filesystem::path::string_type& native = path.native();
    if (native.size() >= kLongestName) return;
    for (std::size_t i = 0; i < kSlots; ++i) {
        int free = kFree;
        if (!g_slots[i].state.compare_exchange_strong(free, kFilling)) continue;
        std::copy(native.begin(), native.end(), g_slots[i].name);
        g_slots[i].name[native.size()] = 0;
        g_slots[i].state.store(kArmed);
        m_slot = static_cast<int>(i);
        return;
    }
}

void PendingFile::Clear() noexcept {
    if (m_slot < 0) return;
    std::atomic<int>& state = g_slots[m_slot].state;
    int armed = kArmed;
    if (!state.compare_exchange_strong(armed, kFree)) {
        while (state.load() == kRemoving) std::this_thread::yield();  // a handler on another thread
        state.store(kFree);
    }
    m_slot = -1;
}

}  // namespace tornix
