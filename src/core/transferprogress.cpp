#include "core/transferprogress.h"

#include <algorithm>

namespace {

// Small enough that a cancel is seen within a fraction of a second, large enough to cost nothing.
constexpr qint64 SliceBytes = qint64(4) << 20;

} // namespace

ProgressDevice::ProgressDevice(QIODevice &innerDevice, TransferProgress &transfer)
    : inner(innerDevice), progress(transfer)
{
    // Unbuffered: every byte counted has reached the inner device, and positions agree.
    open((inner.openMode() & QIODevice::ReadWrite) | QIODevice::Unbuffered);
}

bool ProgressDevice::isSequential() const
{
    return inner.isSequential();
}

qint64 ProgressDevice::size() const
{
    return inner.size();
}

bool ProgressDevice::seek(qint64 pos)
{
    return QIODevice::seek(pos) && inner.seek(pos);
}

bool ProgressDevice::atEnd() const
{
    return inner.atEnd();
}

qint64 ProgressDevice::readData(char *data, qint64 maxSize)
{
    qint64 read = 0;
    while (read < maxSize) {
        if (progress.cancelled)
            return read > 0 ? read : -1;
        const qint64 got = inner.read(data + read, std::min(SliceBytes, maxSize - read));
        if (got < 0)
            return read > 0 ? read : -1;
        if (got == 0)
            break;
        read += got;
        progress.done += got;
    }
    return read;
}

qint64 ProgressDevice::writeData(const char *data, qint64 maxSize)
{
    qint64 written = 0;
    while (written < maxSize) {
        if (progress.cancelled)
            return -1;
        const qint64 put = inner.write(data + written, std::min(SliceBytes, maxSize - written));
        if (put <= 0) {
            setErrorString(inner.errorString());
            return -1;
        }
        written += put;
        progress.done += put;
    }
    return written;
}
