#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// How many bytes of decoded photos the machine can still hold, widget-free.
namespace MemoryBudget {

// Kept free for the export, the window and photos being converted while they decode.
constexpr qint64 reserveBytes = qint64(1) << 30;

// The smallest of the machine's available memory, the process's control group headroom and its
// address-space headroom, less the reserve; never negative. A fixed figure replaces it while set.
qint64 available();

// Used instead of the machine's figure while set: by tests, and by whoever must not depend on what the
// machine holds at the moment.
void setFixed(std::optional<qint64> bytes);

// Parsers of the kernel's text files: MemAvailable of /proc/meminfo and VmSize of /proc/self/status,
// in bytes; nothing when the field is missing.
std::optional<qint64> memAvailable(const QByteArray& meminfo);
std::optional<qint64> vmSize(const QByteArray& status);

} // namespace MemoryBudget
