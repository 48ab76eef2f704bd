#pragma once

#include "core/dib.h"
#include "scan/scanoptions.h"

#include <sane/sane.h>

#include <atomic>
#include <cstdint>
#include <functional>

struct ScanOutcome {
    enum Kind { Image, Cancelled, NoDevice, OpenFailed, Failed };
    Kind kind = Failed;
    // SANE's status when the device could not be opened or the scan failed.
    SANE_Status status = SANE_STATUS_GOOD;
    // The scanned picture when kind is Image; the caller releases it.
    dib image;
};

// Receives the bytes read so far and the bytes the scan will deliver (0 while unknown).
using ScanProgress = std::function<void(std::int64_t received, std::int64_t expected)>;

// Scans one picture from deviceName, or from the first device found when it is empty, on the
// calling thread. SANE must be initialised. cancel is looked at between reads: SANE allows
// sane_cancel at any time, but backends that tear down their reader in it are not safe to cancel
// while another thread is inside sane_read, so the reading thread cancels for itself.
ScanOutcome scanWithSane(const QString &deviceName, const ScanOptions &options, const std::atomic_bool &cancel,
                         const ScanProgress &progress);
